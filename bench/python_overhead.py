#!/usr/bin/env python3
"""The Python module's overhead over the library call it makes, at 8 sets x 100k points.

Times orvane.analyse on 8 sets of 100001 samples (the sets of sequence_bench's
BM_Sequence/100000) from Python: the arrays copied in, the analysis, the result object made.
The library call's own share is the module's in-process time of runAnalysis
(Result.analysis_seconds), so both figures come from the same runs; the overhead is the
rest. For reference it also runs the C++ benchmark BM_Sequence/100000 (another process,
whose heap accounting makes it somewhat slower). Usage, from the source folder after a build:

    /usr/bin/python3 bench/python_overhead.py [build] [repetitions]
"""
import json
import pathlib
import statistics
import subprocess
import sys
import time

BUILD = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build").resolve()
REPETITIONS = int(sys.argv[2]) if len(sys.argv) > 2 else 9
sys.path.insert(0, str(BUILD / "python"))

import numpy as np  # noqa: E402

import orvane  # noqa: E402

SETS, POINTS = 8, 100000


def sequence_bench_ms():
    """Median of BM_Sequence/100000 over the repetitions, in milliseconds."""
    run = subprocess.run([str(BUILD / "bin" / "sequence_bench"), "--benchmark_filter=^BM_Sequence/100000/",
                          f"--benchmark_repetitions={REPETITIONS}", "--benchmark_format=json"],
                         capture_output=True, text=True, check=True)
    runs = [b for b in json.loads(run.stdout)["benchmarks"] if b.get("run_type") == "iteration"]
    return statistics.median(b["real_time"] for b in runs)


def the_same_sets():
    """The sets of sequence_bench's Inputs(100000)."""
    t = np.arange(POINTS + 1, dtype=float)
    return [(t, 40 + 10 * np.sin(t * 1e-4 * (1 + 0.01 * s)) + np.sin(t * 0.37 + s) + 0.05 * np.cos(t * 2.1 * (s + 1)))
            for s in range(SETS)]


def module_ms(sets):
    """Per run: the whole call from Python and the library call inside it, in milliseconds."""
    orvane.analyse(sets, domain="time")  # as the C++ benchmark does: plans and memory pools ready
    whole, library = [], []
    for _ in range(REPETITIONS):
        t0 = time.perf_counter()
        r = orvane.analyse(sets, domain="time")
        whole.append((time.perf_counter() - t0) * 1e3)
        library.append(r.analysis_seconds * 1e3)
        assert len(r.x) == POINTS
        del r
    return whole, library


def main():
    whole, library = module_ms(the_same_sets())
    overheads = [100 * (w - l) / l for w, l in zip(whole, library)]
    print(f"{SETS} sets x {POINTS} points, medians of {REPETITIONS} runs")
    print(f"orvane.analyse from Python:                    {statistics.median(whole):8.1f} ms")
    print(f"  of which the library call (runAnalysis):     {statistics.median(library):8.1f} ms")
    print(f"  overhead of the module:                      {statistics.median(overheads):8.2f} %"
          f"  (largest {max(overheads):.2f} %)")
    print(f"sequence_bench BM_Sequence/100000 (C++):       {sequence_bench_ms():8.1f} ms")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The Python module's overhead over the library call it makes, at 8 sets x 100k points.

Runs the C++ benchmark BM_Sequence/100000 (sequence_bench: runAnalysis on 8 sets of
100001 samples, in process) and times orvane.analyse on the same sets from Python (the
arrays copied in, the analysis, the result object made), then prints both medians and the
overhead in percent. Usage, from the source folder after a build:

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


def library_ms():
    """Median of BM_Sequence/100000 over the repetitions, in milliseconds."""
    run = subprocess.run([str(BUILD / "bin" / "sequence_bench"), "--benchmark_filter=^BM_Sequence/100000/",
                          f"--benchmark_repetitions={REPETITIONS}", "--benchmark_format=json"],
                         capture_output=True, text=True, check=True)
    runs = [b for b in json.loads(run.stdout)["benchmarks"] if b.get("run_type") == "iteration"]
    return statistics.median(b["real_time"] for b in runs), len(runs)


def the_same_sets():
    """The sets of sequence_bench's Inputs(100000)."""
    t = np.arange(POINTS + 1, dtype=float)
    return [(t, 40 + 10 * np.sin(t * 1e-4 * (1 + 0.01 * s)) + np.sin(t * 0.37 + s) + 0.05 * np.cos(t * 2.1 * (s + 1)))
            for s in range(SETS)]


def module_ms(sets):
    orvane.analyse(sets, domain="time")  # as the C++ benchmark does: plans and memory pools ready
    times = []
    for _ in range(REPETITIONS):
        t0 = time.perf_counter()
        r = orvane.analyse(sets, domain="time")
        times.append((time.perf_counter() - t0) * 1e3)
        assert len(r.x) == POINTS
        del r
    return statistics.median(times)


def main():
    sets = the_same_sets()
    python = module_ms(sets)
    library, runs = library_ms()
    print(f"{SETS} sets x {POINTS} points, medians of {REPETITIONS} runs")
    print(f"library call (sequence_bench BM_Sequence/100000): {library:8.1f} ms  ({runs} repetitions)")
    print(f"orvane.analyse from Python:                       {python:8.1f} ms")
    print(f"overhead of the module:                           {100 * (python - library) / library:+8.1f} %")


if __name__ == "__main__":
    main()

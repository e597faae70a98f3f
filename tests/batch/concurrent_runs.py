#!/usr/bin/env python3
"""Many orvane-batch runs started at once into one output folder: every run gets a folder of
its own, and every folder holds the numbers of its own run.

Usage: concurrent_runs.py ORVANE_BATCH [rounds]
"""
import json
import math
import pathlib
import subprocess
import sys
import tempfile

RUNS = 6


def write_set(path: pathlib.Path, phase: float, points: int = 400) -> None:
    with path.open("w") as f:
        for j in range(points):
            x = j / points
            f.write(f"{x:.9g} {math.sin(12 * x + phase) + 0.2 * math.cos(70 * x):.9g}\n")


def main(batch: str, rounds: int) -> int:
    faults = []
    with tempfile.TemporaryDirectory() as tmp:
        tmp = pathlib.Path(tmp)
        reference = tmp / "reference.txt"
        write_set(reference, 0.0)
        out = tmp / "out"
        out.mkdir()
        for r in range(rounds):
            runs = []
            for k in range(RUNS):
                data = tmp / f"set_{r}_{k}.txt"
                write_set(data, 0.05 * (k + 1) + r)
                cmd = [batch, "-d", "magnitude", "--figures", "none", "--json", "-o", str(out), str(reference), str(data)]
                runs.append(subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True))
            folders = []
            for p in runs:
                stdout, stderr = p.communicate(timeout=120)
                if p.returncode != 0:
                    faults.append(f"round {r}: exit {p.returncode}: {stderr.strip()}")
                    continue
                summary = json.loads(stdout)
                folder = pathlib.Path(summary["folder"])
                folders.append(folder)
                # The folder's own report holds this run's ADM total of set 2.
                report = (folder / "ADM_2_average.txt").read_text()
                total = float(report.split("ADM_2tot")[1].split()[0])
                if abs(total - summary["sets"][1]["adm"]["total"]) > 1e-7:
                    faults.append(f"round {r}: {folder} holds another run's numbers")
                if (folder / "ANALYSIS_INCOMPLETE.txt").exists():
                    faults.append(f"round {r}: {folder} is marked incomplete after a finished run")
            if len(set(folders)) != len(folders):
                faults.append(f"round {r}: runs shared a folder: {sorted(map(str, folders))}")
        if len(list(out.iterdir())) != rounds * RUNS:
            faults.append(f"{len(list(out.iterdir()))} folders for {rounds * RUNS} runs")
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 3))

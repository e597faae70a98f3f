#!/usr/bin/env python3
"""orvane-batch killed (SIGKILL) at several moments of a run: every file under a final name is
complete and loads, and the analysis folder is marked incomplete unless it holds every file
of a complete run.

Usage: interrupted_runs.py ORVANE_BATCH [kills]   (more kills for the soak run)
"""
import math
import pathlib
import signal
import subprocess
import sys
import tempfile
import time

import scipy.io

MARKER = "ANALYSIS_INCOMPLETE.txt"


def write_set(path: pathlib.Path, phase: float, points: int) -> None:
    with path.open("w") as f:
        for j in range(points):
            x = j / points
            f.write(f"{x:.9g} {math.sin(40 * x + phase) + 0.1 * math.cos(900 * x):.9g}\n")


def names_in(folder: pathlib.Path) -> set:
    return {str(f.relative_to(folder)) for f in folder.rglob("*") if not f.name.startswith(".")}


def check_folder(folder: pathlib.Path, complete: set) -> list:
    faults = []
    if not (folder / MARKER).exists():
        # Killed after the run had finished its folder (while exiting): then it is whole.
        missing = complete - names_in(folder)
        if missing:
            faults.append(f"{folder}: interrupted, but not marked incomplete (lacks {sorted(missing)[:3]})")
    for f in folder.rglob("*"):
        if not f.is_file() or f.name.startswith(".") or f.name == MARKER:
            continue  # hidden names are temporaries a killed process could not remove
        try:
            if f.suffix in (".mat", ".fig"):
                scipy.io.loadmat(str(f))
            elif f.suffix == ".txt":
                text = f.read_text()
                if not text.endswith("\n"):
                    faults.append(f"{f}: does not end with a complete line")
        except Exception as e:  # noqa: BLE001 - any failure to load is the fault reported
            faults.append(f"{f}: does not load: {e}")
    return faults


def main(batch: str, kills: int) -> int:
    faults = []
    checked = 0
    with tempfile.TemporaryDirectory() as tmp:
        tmp = pathlib.Path(tmp)
        files = []
        for k in range(3):
            files.append(tmp / f"set{k}.txt")
            write_set(files[-1], 0.3 * k, 150_000)
        # How long a whole run takes, to spread the kills over it.
        start = time.monotonic()
        subprocess.run([batch, "-d", "magnitude", "-q", "-o", str(tmp), *map(str, files)], check=True,
                       stdout=subprocess.DEVNULL)
        whole = time.monotonic() - start
        complete = names_in(tmp / "Frequency Domain Analysis")
        for i in range(kills):
            out = tmp / f"out{i}"
            out.mkdir()
            p = subprocess.Popen([batch, "-d", "magnitude", "-q", "-o", str(out), *map(str, files)],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(whole * (i + 0.5) / kills)
            if p.poll() is not None:
                continue  # finished before its kill: nothing was interrupted
            p.send_signal(signal.SIGKILL)
            p.wait()
            for folder in out.iterdir():
                if folder.name.startswith("."):
                    continue  # the hidden folder an analysis folder is made under before it takes its name
                faults += check_folder(folder, complete)
                checked += 1
    for f in faults:
        print(f)
    print(f"{kills} kills, {checked} interrupted folders checked")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 4))

#!/usr/bin/env python3
"""Compares two analysis folders: the same files, byte for byte.

Level-5 MAT-files and figure files may differ in the text of their 116-byte header only
(it holds the creation date). Usage: compare_analysis_folders.py EXPECTED ACTUAL
Exit 0 when equal, 1 with one line per difference.
"""
import pathlib
import sys

HEADER_TEXT = 116  # bytes of descriptive text at the start of a Level-5 MAT-file


def files(root: pathlib.Path) -> dict:
    return {p.relative_to(root).as_posix(): p for p in sorted(root.rglob("*")) if p.is_file()}


def main(expected: pathlib.Path, actual: pathlib.Path) -> int:
    a, b = files(expected), files(actual)
    faults = [f"only in {expected}: {n}" for n in sorted(a.keys() - b.keys())]
    faults += [f"only in {actual}: {n}" for n in sorted(b.keys() - a.keys())]
    for name in sorted(a.keys() & b.keys()):
        x, y = a[name].read_bytes(), b[name].read_bytes()
        if name.endswith((".mat", ".fig")) and len(x) == len(y) and len(x) > HEADER_TEXT:
            x, y = x[HEADER_TEXT:], y[HEADER_TEXT:]
        if x != y:
            faults.append(f"differs: {name}")
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(main(pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])))

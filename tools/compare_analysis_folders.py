#!/usr/bin/env python3
"""Compares analysis folders byte for byte.

  compare_analysis_folders.py EXPECTED ACTUAL          two folders: the same files, the same bytes
  compare_analysis_folders.py --manifest FOLDER        prints a manifest: one "sha256  name" line per file
  compare_analysis_folders.py --check MANIFEST FOLDER  the folder holds exactly the manifest's files

report.html is left out (it names the date of its run). Level-5 MAT-files and figure files
may differ in the text of their 116-byte header only (it holds the creation date), so that
part is left out. Exit 0 when equal, 1 with one line per
difference, 2 for a usage error.
"""
import hashlib
import pathlib
import sys

HEADER_TEXT = 116  # bytes of descriptive text at the start of a Level-5 MAT-file
# Files that name the date of their run, so no two runs match; their own tests check them.
DATED = {"report.html"}


def files(root: pathlib.Path) -> dict:
    return {p.relative_to(root).as_posix(): p for p in sorted(root.rglob("*"))
            if p.is_file() and p.relative_to(root).as_posix() not in DATED}


def content(name: str, path: pathlib.Path) -> bytes:
    data = path.read_bytes()
    if name.endswith((".mat", ".fig")) and len(data) > HEADER_TEXT:
        data = data[HEADER_TEXT:]
    return data


def digests(root: pathlib.Path) -> dict:
    return {n: hashlib.sha256(content(n, p)).hexdigest() for n, p in files(root).items()}


def differences(expected: dict, actual: dict, a: str, b: str) -> list:
    faults = [f"only in {a}: {n}" for n in sorted(expected.keys() - actual.keys())]
    faults += [f"only in {b}: {n}" for n in sorted(actual.keys() - expected.keys())]
    faults += [f"differs: {n}" for n in sorted(expected.keys() & actual.keys()) if expected[n] != actual[n]]
    return faults


def main(argv: list) -> int:
    if len(argv) == 2 and argv[0] == "--manifest":
        for name, digest in digests(pathlib.Path(argv[1])).items():
            print(f"{digest}  {name}")
        return 0
    if len(argv) == 3 and argv[0] == "--check":
        expected = {}
        for line in pathlib.Path(argv[1]).read_text(encoding="utf-8").splitlines():
            digest, name = line.split("  ", 1)
            expected[name] = digest
        faults = differences(expected, digests(pathlib.Path(argv[2])), "the manifest", argv[2])
    elif len(argv) == 2:
        faults = differences(digests(pathlib.Path(argv[0])), digests(pathlib.Path(argv[1])), argv[0], argv[1])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

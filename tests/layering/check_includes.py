#!/usr/bin/env python3
"""Checks that every project include in src/ runs downwards through the layers.

Usage: check_includes.py SRC_FOLDER   (exit 1 and one line per offending include)
"""
import pathlib
import re
import sys

# layer -> the layers its files may include (besides its own)
ALLOWED = {
    "base": set(),
    "formats": {"base"},
    "method": {"base"},
    "figures": {"base", "formats", "method"},
    "analysis": {"base", "formats", "method", "figures"},
    "render": {"base", "formats", "method", "figures"},
    "batch": {"base", "formats", "method", "figures", "analysis"},
    "picture": {"base", "formats", "method", "figures", "analysis", "render"},
    "desktop": {"base", "formats", "method", "figures", "analysis", "render"},
    "python": {"base", "formats", "method", "figures", "analysis"},
    "launchdoc": {"base"},
}
FOLDERS = {  # source folder (relative to src) -> layer
    "core/base": "base", "core/formats": "formats", "core/method": "method", "core/figures": "figures",
    "core/analysis": "analysis", "render": "render", "batch": "batch", "desktop": "desktop",
    "python": "python", "launchdoc": "launchdoc", "picture": "picture",
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.M)


def main(src: pathlib.Path) -> int:
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".hpp", ".c", ".cpp"}:
            continue
        folder = path.parent.relative_to(src).as_posix()
        layer = FOLDERS.get(folder)
        if layer is None:
            faults.append(f"{path}: folder {folder!r} belongs to no layer")
            continue
        for m in INCLUDE.finditer(path.read_text(encoding="utf-8")):
            target = m.group(1)
            if target == layer or target in ALLOWED[layer]:
                continue
            line = path.read_text(encoding="utf-8")[: m.start()].count("\n") + 1
            faults.append(f"{path}:{line}: the {layer} layer includes {m.group(0).split()[-1]} ({target})")
    for f in faults:
        print(f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1])))

#!/usr/bin/env python3
"""--compress: the same analysis written plain and compressed. Every MAT-file of the compressed
run must hold only zlib-compressed variables, and give the same values as the plain one when
read by SciPy, by our result loader (result_files_tool load) and by our figure-file reader
(orvane-batch render draws the same picture from both).

Usage: compressed_output_test.py ORVANE_BATCH RESULT_FILES_TOOL EXAMPLES. Exit 77 without SciPy."""
import os
import struct
import subprocess
import sys
import tempfile

from checks import check, failures

try:
    import numpy as np
    import scipy.io
except ImportError as e:
    print(f"SciPy is not installed: {e}")
    sys.exit(77)

batch, tool, examples = sys.argv[1:4]
inputs = [os.path.join(examples, f) for f in ("measured.txt", "simulation_a.txt", "simulation_b.txt")]


def run(out, *extra):
    done = subprocess.run([batch, "-q", "-d", "magnitude", "-o", out, *extra, *inputs],
                          capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"orvane-batch {' '.join(extra)} failed: {done.stderr}")
    return done.stdout.strip()


def element_types(path):
    """The data type of every top-level element after the 128-byte header."""
    types = []
    with open(path, "rb") as f:
        data = f.read()
    pos = 128
    while pos + 8 <= len(data):
        kind, size = struct.unpack_from("<II", data, pos)
        types.append(kind)
        pos += 8 + size + (-size % 8 if kind != 15 else 0)
    return types


def same(a, b, where):
    """Recursive equality of what loadmat gives: arrays bit for bit (NaN equal to NaN)."""
    if isinstance(a, dict):
        keys = {k for k in a if not k.startswith("__")}
        check(keys == {k for k in b if not k.startswith("__")}, f"{where}: variables differ")
        for k in keys:
            same(a[k], b[k], f"{where}.{k}")
        return
    a, b = np.asarray(a), np.asarray(b)
    if not check_shape(a, b, where):
        return
    if a.dtype.names:
        for name in a.dtype.names:
            for i in np.ndindex(a.shape):
                same(a[i][name], b[i][name], f"{where}{list(i)}.{name}")
    elif a.dtype == object:
        for i in np.ndindex(a.shape):
            same(a[i], b[i], f"{where}{list(i)}")
    elif a.dtype.kind in "fc":
        check(bool(np.all((a == b) | (np.isnan(a) & np.isnan(b)))), f"{where}: values differ")
    else:
        check(bool(np.all(a == b)), f"{where}: values differ")


def check_shape(a, b, where):
    ok = a.shape == b.shape and a.dtype == b.dtype
    check(ok, f"{where}: {a.shape} {a.dtype} against {b.shape} {b.dtype}")
    return ok


with tempfile.TemporaryDirectory() as work:
    plain = run(os.path.join(work, "plain"))
    packed = run(os.path.join(work, "packed"), "--compress")
    mats = sorted(os.path.relpath(os.path.join(d, f), plain)
                  for d, _, files in os.walk(plain) for f in files if f.endswith((".mat", ".fig")))
    check(len(mats) > 40, f"only {len(mats)} MAT-files in {plain}")
    for rel in mats:
        a, b = os.path.join(plain, rel), os.path.join(packed, rel)
        if not os.path.exists(b):
            check(False, f"{rel} is missing from the compressed run")
            continue
        check(set(element_types(a)) == {14}, f"{rel}: the plain run wrote compressed variables")
        check(set(element_types(b)) == {15}, f"{rel}: not every variable is compressed")
        same(scipy.io.loadmat(a), scipy.io.loadmat(b), rel)

    big = "MagnitudeAnalysis.mat"
    sizes = [os.path.getsize(os.path.join(f, big)) for f in (plain, packed)]
    check(sizes[1] < sizes[0] * 0.8, f"{big}: {sizes[1]} bytes compressed, {sizes[0]} plain")

    # Our loader: the same values from both files, dumped the same way.
    dumps = []
    for folder in (plain, packed):
        dump = os.path.join(folder, "loaded.json")
        done = subprocess.run([tool, "load", os.path.join(folder, big), dump], capture_output=True, text=True)
        check(done.returncode == 0, f"our loader refused {folder}/{big}: {done.stderr}")
        dumps.append(open(dump).read() if done.returncode == 0 else "")
    check(dumps[0] != "" and dumps[0] == dumps[1], "our loader reads different values from the compressed file")

    # Our figure-file reader: a plot and a chart drawn from each run, pixel for pixel the same.
    figures = ["ADMc_1 magnitude.fig", os.path.join("85", "FsvColorCodeChartADM_1_FDM_1_GDM_1_85.fig")]
    pictures = []
    for folder in (plain, packed):
        paths = [os.path.join(folder, f) for f in figures]
        done = subprocess.run([batch, "render", "--format", "bmp", *paths], capture_output=True, text=True)
        check(done.returncode == 0, f"render refused the figure files of {folder}: {done.stderr}")
        pictures.append([open(p[:-4] + ".bmp", "rb").read() if done.returncode == 0 else b"" for p in paths])
    check(pictures[0] == pictures[1] and all(pictures[0]), "the figure files draw differently when compressed")

print(f"{len(mats)} MAT-files compared; {len(failures)} failures")
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""The grid choice (--grid log:N, uniform:N) and data read from standard input, a pipe and a
process substitution. The grids and the resampled sets in the MAT-file are checked against
numpy's own interpolation of the inputs. Usage: grid_choice_test.py ORVANE_BATCH"""
import os
import subprocess
import sys
import tempfile
import threading

import numpy as np
import scipy.io

from checks import check, failures

batch = sys.argv[1]


work = tempfile.mkdtemp()


def write(name, x, y):
    path = os.path.join(work, name)
    np.savetxt(path, np.column_stack([x, y]), fmt="%.17g")
    return path


def run(*args, stdin=None, pass_fds=()):
    return subprocess.run([batch, "-d", "magnitude", "--figures", "none", "-o", work, *args], input=stdin,
                          capture_output=True, text=True, pass_fds=pass_fds)


def analysis(result):
    folder = result.stdout.splitlines()[0]
    return scipy.io.loadmat(os.path.join(folder, "MagnitudeAnalysis.mat"))


def resampled(mat, k):
    return mat["Mdata"][0, k][:, 0]


# A logarithmic sweep 9 kHz - 6 GHz of 1001 points, as receivers write them; the model's
# sweep is a little shorter and sampled differently, so the common range is the overlap.
fa = np.geomspace(9e3, 6e9, 1001)
fb = np.geomspace(1e4, 5.5e9, 801)
ya = -40 + 10 * np.sin(3 * np.log(fa))
yb = -41 + 10 * np.sin(3 * np.log(fb) + 0.1)
a, b = write("meas.txt", fa, ya), write("model.txt", fb, yb)

# The finest spacing would need ~49 million points: refused, naming the way out.
r = run(a, b)
check(r.returncode == 1 and "--grid log:N" in r.stderr, f"default grid of a log sweep: {r.returncode} {r.stderr!r}")

r = run("--grid", "log:1001", a, b)
check(r.returncode == 0, f"--grid log:1001 failed: {r.stderr!r}")
if r.returncode == 0:
    check("1001 points from 10000 to 5500000000, spaced logarithmically" in r.stdout, f"summary: {r.stdout!r}")
    mat = analysis(r)
    grid = mat["Mfreq"][:, 0]
    want = 1e4 * (5.5e9 / 1e4) ** (np.arange(1001) / 1000)
    check(grid.shape == (1001,) and np.allclose(grid, want, rtol=1e-13, atol=0), "log grid differs from x_i formula")
    check(grid[0] == 1e4 and grid[-1] == 5.5e9, f"log grid ends {grid[0]!r} {grid[-1]!r}")
    for k, (x, y) in enumerate([(fa, ya), (fb, yb)]):
        check(np.allclose(resampled(mat, k), np.interp(grid, x, y), rtol=0, atol=1e-9), f"log set {k + 1} differs")
    kind = mat.get("GridKind")
    check(kind is not None and kind[0] == "logarithmic", f"GridKind: {kind!r}")

# A uniform grid over the overlap of two linear sweeps of different spacing; one set comes
# from standard input, the other from a pipe (process substitution gives the same /dev/fd
# path), each read once.
xa = np.linspace(0.0, 10.0, 401)
xb = np.linspace(0.7, 12.0, 157)
ya2 = np.cos(xa) * 3 + xa
yb2 = np.cos(xb * 1.02) * 3 + xb
pa, pb = write("a.txt", xa, ya2), write("b.txt", xb, yb2)
with open(pa) as f:
    a_text = f.read()
with open(pb) as f:
    b_text = f.read()
read_end, write_end = os.pipe()
writer = threading.Thread(target=lambda: (os.write(write_end, b_text.encode()), os.close(write_end)))
writer.start()
r = run("--grid", "uniform:333", "-", f"/dev/fd/{read_end}", stdin=a_text, pass_fds=(read_end,))
writer.join()
os.close(read_end)
check(r.returncode == 0, f"uniform grid from stdin and a pipe failed: {r.stderr!r}")
if r.returncode == 0:
    check("spaced uniformly" in r.stdout and "Set 1: -" in r.stdout, f"summary: {r.stdout!r}")
    mat = analysis(r)
    grid = mat["Mfreq"][:, 0]
    check(np.allclose(grid, np.linspace(0.7, 10.0, 333), rtol=0, atol=1e-12), "uniform grid differs from linspace")
    for k, (x, y) in enumerate([(xa, ya2), (xb, yb2)]):
        check(np.allclose(resampled(mat, k), np.interp(grid, x, y), rtol=0, atol=1e-12), f"uniform set {k + 1} differs")
    check(mat["GridKind"][0] == "uniform", f"GridKind {mat.get('GridKind')!r}")

# The default grid writes no GridKind (files stay as they were); a log grid over a range
# reaching 0 is refused; a second "-" is a usage error.
r = run(pa, pb)
check(r.returncode == 0 and "GridKind" not in analysis(r), f"default grid: {r.returncode} {r.stderr!r}")
r = run("--grid", "log:100", pa, pa)
check(r.returncode == 1 and "logarithmic grid needs a positive range" in r.stderr and "[0, 10]" in r.stderr,
      f"log grid over [0, 10]: {r.returncode} {r.stderr!r}")
r = run("-", "-", stdin=a_text)
check(r.returncode == 2 and "only once" in r.stderr, f"two '-': {r.returncode} {r.stderr!r}")

# A sweep whose finest spacing makes the default grid over 20x the data: it runs, and both
# stderr and the summary warn and name the option.
fc = np.geomspace(1e7, 2e9, 301)
c, d = write("c.txt", fc, np.sin(np.log(fc))), write("d.txt", fc, np.cos(np.log(fc)))
r = run(c, d)
check(r.returncode == 0 and "--grid log:301" in r.stderr and "Warning:" in r.stdout and "--grid log:301" in r.stdout,
      f"dense grid warning: {r.returncode} {r.stderr!r}")

print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)

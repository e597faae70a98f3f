#!/usr/bin/env python3
"""A chosen reference set: with --reference 1 on two sets, set 2's ADM, FDM and GDM (point by
point, totals, grades, spreads, weights) equal the pairwise FSV comparison of set 2 with set 1
computed here from the files with numpy alone; set 1 and the reference entry are the perfect
match; the analysis MAT-file records the reference; a reference that is not one of the files
is a usage error; the summary still passes the schema. Usage: reference_set_test.py ORVANE_BATCH SOURCE_ROOT"""
import json
import math
import pathlib
import subprocess
import sys
import tempfile

import jsonschema
import numpy as np
import scipy.io

from checks import check, failures

batch, root = sys.argv[1], pathlib.Path(sys.argv[2])


# ---- the pairwise comparison, written from the method's description -------------------------

def common_grid(x1, x2):
    lo, hi = max(x1[0], x2[0]), min(x1[-1], x2[-1])
    step = min(np.min(np.abs(np.diff(x[:-1]))) for x in (x1, x2))  # the last spacing is not measured
    n = math.ceil((hi - lo) / step)
    return np.array([lo + (hi - lo) * (k / (n - 1)) for k in range(n)])


def spectrum(y):
    s = np.fft.fft(y) / math.sqrt(len(y))
    with np.errstate(divide="ignore", invalid="ignore"):
        s[1:][np.abs(s[1:] / s[0]) < 1e-14] = 0
    return s


def search_end(s):  # one past the bin where the running sum from bin 5 reaches 40 % (1-based)
    n = len(s)
    v3 = n // 2 if n % 2 == 0 else (n + 1) // 2
    forty = 0.4 * np.sum(np.abs(s[4:v3]))
    total, k = 0.0, 5
    while total < forty:
        total += abs(s[k - 1])
        k += 1
    return k


def parts(s, bp):  # low, high and DC parts for breakpoint bin bp (1-based)
    n_pts = len(s)
    n = math.ceil(n_pts / 2)
    dc = np.zeros(n_pts, complex)
    dc[:4] = s[:4]
    low = np.zeros(n_pts, complex)
    high = np.zeros(n_pts, complex)
    low[4:bp + 2] = s[4:bp + 2]
    high[bp - 3:n_pts // 2] = s[bp - 3:n_pts // 2]
    for k in range(bp - 2, bp + 3):
        low[k - 1] *= 1 - (k - bp + 2) / 5
        high[k - 1] *= (k - bp + 2) / 5
    for k in range(n - 4, n + 1):
        high[k - 1] *= (n - k + 1) / 5

    def real_signal(y):
        z = np.zeros(n_pts, complex)
        keep = n if n_pts % 2 else n + 1
        z[:keep] = y[:keep]
        z[keep:] = np.conj(y[1:n])[::-1]
        return np.real(np.fft.ifft(z)) * math.sqrt(n_pts)

    return real_signal(low), real_signal(high), np.real(np.fft.ifft(dc))


def ratio(a, b, norm):
    return a - b if norm == 0 else (a - b) / norm


def histogram(v):
    edges = [0.1, 0.2, 0.4, 0.8, 1.6]
    counts = [0] * 6
    for x in v:
        counts[next((c for c, e in enumerate(edges) if x <= e), 5)] += 1
    return [c / len(v) for c in counts]


def grade_and_spread(h, thr=0.85):
    total, grade = 0.0, 0
    while total <= thr and grade < 6:
        total += h[grade]
        grade += 1
    # Fullest first; equal shares put the higher class first.
    order = sorted(range(6), key=lambda c: (h[c], c), reverse=True)
    total, spread = 0.0, 0
    while total <= thr and spread < 6:
        total += h[order[spread]]
        spread += 1
    return grade, spread


def pairwise(x, y_set, y_ref, weighting=True):
    s_set, s_ref = spectrum(y_set), spectrum(y_ref)
    k_ref = search_end(s_ref)
    low, high, dc = parts(s_set, min(search_end(s_set), k_ref) + 5)
    low_r, high_r, dc_r = parts(s_ref, k_ref + 5)
    n = len(x)
    offset = np.abs(ratio(np.abs(low), np.abs(low_r), (np.sum(np.abs(low)) + np.sum(np.abs(low_r))) / n))
    odm = np.abs(ratio(np.abs(dc), np.abs(dc_r), (np.sum(np.abs(dc)) + np.sum(np.abs(dc_r))) / n))
    adm = offset + odm * np.exp(odm)
    d = np.gradient  # forward, central, backward differences in samples
    terms = []
    for a, b, factor in ((d(low), d(low_r), 2), (d(high), d(high_r), 6), (d(d(high)), d(d(high_r)), 7.2)):
        terms.append(ratio(np.abs(a), np.abs(b), (np.sum(np.abs(a)) + np.sum(np.abs(b))) * factor / n))
    fdm = 2 * np.abs(terms[0] + terms[1] + terms[2])
    ga, sa = grade_and_spread(histogram(adm))
    gf, sf = grade_and_spread(histogram(fdm))
    k_adm = sf / sa if weighting and sa > sf else 1.0
    k_fdm = sa / sf if weighting and sa < sf else 1.0
    gdm = np.sqrt(k_adm * fdm ** 2 + k_fdm * adm ** 2)
    gg, sg = grade_and_spread(histogram(gdm))
    return {"adm": (adm, ga, sa), "fdm": (fdm, gf, sf), "gdm": (gdm, gg, sg), "k": (k_adm, k_fdm)}


# ---- the case: a measured pulse response and a model with a shifted, damped ringing ---------

x1 = np.linspace(0, 4e-7, 181)
x2 = np.linspace(0, 4e-7, 241)
y1 = np.exp(-x1 / 1e-7) * np.sin(2 * np.pi * 2.5e7 * x1) + 0.3 + 0.02 * np.cos(2 * np.pi * 1.7e8 * x1)
y2 = 0.9 * np.exp(-x2 / 0.8e-7) * np.sin(2 * np.pi * 2.7e7 * x2 + 0.2) + 0.32

with tempfile.TemporaryDirectory() as tmp:
    tmp = pathlib.Path(tmp)
    for name, x, y in (("measured.txt", x1, y1), ("model.txt", x2, y2)):
        (tmp / name).write_text("".join(f"{a!r} {b!r}\n" for a, b in zip(x, y)))
    files = [str(tmp / "measured.txt"), str(tmp / "model.txt")]
    run = subprocess.run([batch, "-d", "time", "--figures", "none", "--json", "--reference", "1", "-o", str(tmp)] + files,
                         capture_output=True, text=True)
    check(run.returncode == 0, f"exit {run.returncode}: {run.stderr}")
    summary = json.loads(run.stdout)
    schema = json.loads((root / "share/summary.schema.json").read_text(encoding="utf-8"))
    errors = [e.message for e in jsonschema.Draft202012Validator(schema).iter_errors(summary)]
    check(not errors, f"schema: {errors[:3]}")
    mat = scipy.io.loadmat(tmp / "Time Domain Analysis" / "MagnitudeAnalysis.mat", simplify_cells=True)

    grid = common_grid(x1, x2)
    check(np.array_equal(mat["Mfreq"], grid), "the common grid")
    y = [np.interp(grid, x1, y1), np.interp(grid, x2, y2)]
    want = pairwise(grid, y[1], y[0])
    check(mat.get("Reference") == 1 and summary["reference"]["data_set"] == 1, "the reference is recorded")
    check(np.array_equal(mat["Mdata"][2], mat["Mdata"][0]), "set 3 is the reference set itself")
    check(summary["sets"][1]["comparison"] == "set 2 against the reference", summary["sets"][1]["comparison"])

    got = summary["sets"][1]
    for key, (values, grade, spread) in ((k, want[k]) for k in ("adm", "fdm", "gdm")):
        stored = mat[key.upper() + "i"][1]
        err = np.max(np.abs(stored - values)) / max(1.0, np.max(np.abs(values)))
        check(err < 1e-9, f"set 2 {key} point by point differs by {err:.3g}")
        check(abs(got[key]["total"] - np.mean(values)) < 1e-9, f"set 2 {key} total {got[key]['total']} against {np.mean(values)}")
        check((got[key]["grade"], got[key]["spread"]) == (grade, spread),
              f"set 2 {key} grade, spread {got[key]['grade']}, {got[key]['spread']} against {grade}, {spread}")
    check(abs(got["gdm_weights"]["k_adm"] - want["k"][0]) < 1e-12 and abs(got["gdm_weights"]["k_fdm"] - want["k"][1]) < 1e-12,
          f"weights {got['gdm_weights']} against {want['k']}")
    # The case must rate the pair as imperfect, or the comparison above proves little.
    check(got["gdm"]["grade"] > 1 and got["adm"]["total"] > 0.01, "the model differs visibly from the measurement")

    # The reference against itself, and the reference entry: the perfect match.
    for k in (0, 2):
        for key in ("adm", "fdm", "gdm"):
            m = summary["sets"][k][key]
            check(not np.any(mat[key.upper() + "i"][k]) and m["total"] == 0 and m["grade"] == 1 and m["spread"] == 1
                  and m["classes"]["excellent"] == 1, f"set {k + 1} {key} is not the perfect match: {m}")

    # Not one of the files: a usage error naming the option, and no folder.
    bad = subprocess.run([batch, "--reference", "3", "-o", str(tmp / "none")] + files, capture_output=True, text=True)
    check(bad.returncode == 2 and "--reference" in bad.stderr and not (tmp / "none").exists(),
          f"--reference 3 of 2 files: exit {bad.returncode}, {bad.stderr.strip()}")

for f in failures:
    print(f)
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""summary.json, summary.csv and pointwise_k.csv of the example analysis: the JSON passes the
schema kept in share/, `--json` prints the very same bytes, a file name with a comma, a quote,
a non-ASCII letter and a byte that is not UTF-8 comes out valid and visibly escaped, and
every figure of both summaries equals what the MAT-files hold.
Usage: summaries_test.py ORVANE_BATCH SOURCE_ROOT"""
import csv
import io
import json
import math
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

import jsonschema
import scipy.io

from checks import check, failures

batch, root = sys.argv[1], pathlib.Path(sys.argv[2])


MEASURES = ("adm", "fdm", "gdm")
CLASSES = ("excellent", "very_good", "good", "fair", "poor", "extremely_poor")

with tempfile.TemporaryDirectory() as tmp:
    tmp = pathlib.Path(tmp)
    # A name a careless writer would break: comma, quote, "é" and the lone byte 0xFF.
    odd = os.fsencode(tmp) + b'/sim, "a" \xc3\xa9 \xff.txt'
    shutil.copyfile(root / "examples/simulation_a.txt", odd)
    files = [str(root / "examples/measured.txt"), odd, str(root / "examples/simulation_b.txt")]
    run = subprocess.run([batch, "-d", "magnitude", "--figures", "none", "--json", "-o", str(tmp)] + files,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    check(run.returncode == 0, f"exit {run.returncode}: {run.stderr!r}")
    folder = tmp / "Frequency Domain Analysis"
    written = (folder / "summary.json").read_bytes()
    check(run.stdout == written, "--json differs from summary.json")

    summary = json.loads(written.decode("utf-8"))  # strict: invalid UTF-8 raises
    schema = json.loads((root / "share/summary.schema.json").read_text(encoding="utf-8"))
    errors = [f"{list(e.path)}: {e.message}" for e in jsonschema.Draft202012Validator(schema).iter_errors(summary)]
    check(not errors, f"schema: {errors[:5]}")

    N = summary["data_sets"]
    sets = summary["sets"]
    check(N == 3 and len(sets) == 4 and summary["reference"]["kind"] == "average", "three sets and the average")
    check(summary["threshold"] == 85 and summary["analysis"] == "magnitude", "threshold and kind")
    check(sets[1]["file"] == os.fsdecode(tmp) + '/sim, "a" \u00e9 \\xff.txt', f"escaped name: {sets[1]['file']!r}")
    check(sets[3]["file"] is None and sets[3]["comparison"] == "the average of the sets", "the average's entry")

    mat = scipy.io.loadmat(folder / "MagnitudeAnalysis.mat", simplify_cells=True)
    grades = scipy.io.loadmat(folder / "85" / "GRADE_SPREAD.mat", simplify_cells=True)
    check("Reference" not in mat, "an average analysis records no Reference")
    grid = mat["Mfreq"]
    g = summary["grid"]
    check(g["points"] == len(grid) and g["from"] == grid[0] and g["to"] == grid[-1]
          and g["spacing"] == grid[1] - grid[0], f"grid {g}")

    rows = list(csv.DictReader(io.StringIO((folder / "summary.csv").read_text(encoding="utf-8"), newline="")))
    check(len(rows) == 3 * (N + 1), f"{len(rows)} CSV rows")
    for k, s in enumerate(sets):
        for m, key in enumerate(MEASURES):
            name = key.upper()
            j = s[key]
            params = mat["Parameters" + name[0]][k]
            want = {"total": mat[name + "tot"][k], "mean_class": params[1], "class_scale_total": params[2],
                    "median": mat["parameters_median"][k][m]}
            for field, value in want.items():
                check(j[field] == value, f"set {k + 1} {key} {field}: {j[field]} against {value}")
            for c, cls in enumerate(CLASSES):
                check(j["classes"][cls] == mat[name + "c"][k][c], f"set {k + 1} {key} class {cls}")
            for record in ("Grade", "Spread"):
                stored = grades[f"{record}_{name}"][k]
                low = record.lower()
                check(j[low] == stored["value"] and j[low + "_range"] == stored["range"].rstrip(),
                      f"set {k + 1} {key} {low}: {j[low]} {j[low + '_range']!r} against {stored}")
            row = rows[3 * k + m]
            check(row["set"] == str(k + 1) and row["measure"] == name and row["file"] == (s["file"] or ""),
                  f"CSV row {3 * k + m}: {row['set']} {row['measure']} {row['file']!r}")
            for field in ("total", "mean_class", "class_scale_total", "median", "grade", "spread"):
                check(float(row[field]) == j[field], f"CSV set {k + 1} {name} {field}")
            check(row["grade_range"] == j["grade_range"] and row["grade_class"] == j["grade_class"], "CSV ranges")
            check(float(row["k_adm"]) == mat["Kadm"][k] and float(row["k_fdm"]) == mat["Kfdm"][k], "CSV weights")
        check(s["gdm_weights"] == {"k_adm": mat["Kadm"][k], "k_fdm": mat["Kfdm"][k]}, f"set {k + 1} weights")

        # Point by point, every value as stored (the shortest text reads back to the same double).
        with open(folder / f"pointwise_{k + 1}.csv", newline="") as f:
            table = list(csv.reader(f))
        check(table[0] == ["abscissa", "ADMi", "FDMi", "GDMi"], f"pointwise header {table[0]}")
        columns = list(zip(*[[float(v) for v in line] for line in table[1:]]))
        for c, want in enumerate((grid, mat["ADMi"][k], mat["FDMi"][k], mat["GDMi"][k])):
            check(len(columns[c]) == len(want) and all(a == b for a, b in zip(columns[c], want)),
                  f"pointwise_{k + 1}.csv column {table[0][c]}")

for f in failures:
    print(f)
sys.exit(1 if failures else 0)

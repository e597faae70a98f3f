"""The result files as SciPy reads them.

Usage: result_files_scipy.py <result_files_tool> <work folder>

The tool writes the files and a JSON dump of what it wrote; every variable is read here
with scipy.io.loadmat and compared with the dump, value for value. Exit 77 without SciPy.
"""
import json
import os
import shutil
import subprocess
import sys

try:
    import numpy as np
    import scipy.io
except ImportError as e:
    print(f"SciPy is not installed: {e}")
    sys.exit(77)

ANALYSIS_NAMES = {
    "D", "N_DATA", "S_MARKER", "Mfreq", "Mdata", "LowData", "HighData", "DC_data", "FFTnewdata", "TotalFFT",
    "breakpoint", "Alpha_ADM", "ADMi", "ADM_oldi", "FDMi", "GDMi", "ADMc", "FDMc", "GDMc", "ADMtot", "FDMtot",
    "GDMtot", "Grade_ADM", "Spread_ADM", "Grade_FDM", "Spread_FDM", "Grade_GDM", "Spread_GDM", "Kadm", "Kfdm",
    "ParametersA", "ParametersF", "ParametersG", "parameters_means", "parameters_median",
}
RECORDS = ["Grade_ADM", "Spread_ADM", "Grade_FDM", "Spread_FDM", "Grade_GDM", "Spread_GDM"]
GRADE_SPREAD_NAMES = {"D", "N_DATA", "S_MARKER", *RECORDS}

failures = []


def check(ok, message):
    if not ok:
        failures.append(message)


def variables(path):
    data = scipy.io.loadmat(path)
    return {k: v for k, v in data.items() if not k.startswith("__")}


def same(a, b):
    """Bit-exact equality, NaN equal to NaN."""
    a, b = np.asarray(a), np.asarray(b)
    return a.shape == b.shape and bool(np.all((a == b) | (np.isnan(a) & np.isnan(b))))


def cells(v, name, count):
    """The cells of a 1 x count cell array."""
    check(v.dtype == object and v.shape == (1, count), f"{name}: shape {v.shape} dtype {v.dtype}, expected 1x{count} cell")
    return [v[0, k] for k in range(v.shape[1])] if v.dtype == object and v.ndim == 2 else []


def check_scalar(vars_, name, value):
    v = vars_.get(name)
    check(v is not None and v.dtype == np.float64 and v.shape == (1, 1) and v[0, 0] == value,
          f"{name}: {v!r}, expected 1x1 double {value}")


def check_text(vars_, name, text):
    v = vars_.get(name)
    check(v is not None and v.dtype.kind == "U" and v.shape == (1,) and v[0] == text, f"{name}: {v!r}, expected '{text}'")


def check_records(vars_, name, count, expected):
    for k, c in enumerate(cells(vars_[name], name, count)):
        ok = c.dtype.names is not None and set(c.dtype.names) == {"value", "range"} and c.shape == (1, 1)
        check(ok, f"{name}{{{k + 1}}}: not a 1x1 struct with fields value and range: {c!r}")
        if not ok:
            continue
        value, rng = c[0, 0]["value"], c[0, 0]["range"]
        check(value.shape == (1, 1) and value.dtype == np.float64 and value[0, 0] == expected[k]["value"],
              f"{name}{{{k + 1}}}.value: {value!r}, expected {expected[k]['value']}")
        text = rng[0] if rng.shape == (1,) else ""
        check(text == expected[k]["range"], f"{name}{{{k + 1}}}.range: {rng!r}, expected '{expected[k]['range']}'")


def check_grade_spread(path, dump, with_weights):
    v = variables(path)
    n = dump["N_DATA"] + 1
    names = GRADE_SPREAD_NAMES | ({"Kadm", "Kfdm"} if with_weights else set())
    check(set(v) == names, f"{path}: variables {sorted(v)}, expected {sorted(names)}")
    check_scalar(v, "D", dump["D"])
    check_scalar(v, "N_DATA", dump["N_DATA"])
    check_text(v, "S_MARKER", dump["S_MARKER"])
    for name in RECORDS:
        check_records(v, name, n, dump["records"][name])
    if with_weights:
        for name in ("Kadm", "Kfdm"):
            got = [c for c in cells(v[name], name, n)]
            check(all(c.shape == (1, 1) for c in got) and same([c[0, 0] for c in got], dump["scalars"][name]),
                  f"{path}: {name} differs")


def check_analysis(path, dump):
    v = variables(path)
    n = dump["N_DATA"] + 1
    L = len(dump["Mfreq"])
    check(set(v) == ANALYSIS_NAMES, f"{path}: variables {sorted(v)}, expected the 35 analysis variables")
    check_scalar(v, "D", dump["D"])
    check_scalar(v, "N_DATA", dump["N_DATA"])
    check_text(v, "S_MARKER", dump["S_MARKER"])
    check(v["Mfreq"].shape == (L, 1) and same(v["Mfreq"][:, 0], dump["Mfreq"]), "Mfreq differs or is not Lx1")
    check(v["breakpoint"].shape == (1, n) and same(v["breakpoint"][0], dump["breakpoint"]),
          "breakpoint differs or is not 1x(N+1)")
    for name, lists in dump["columns"].items():
        for k, c in enumerate(cells(v[name], name, n)):
            check(c.dtype == np.float64 and c.ndim == 2 and c.shape[1] == 1 and same(c[:, 0], lists[k]),
                  f"{name}{{{k + 1}}}: shape {c.shape} {c.dtype}, or values differ")
    for k, c in enumerate(cells(v["FFTnewdata"], "FFTnewdata", n)):
        want = np.array([complex(re, im) for re, im in dump["FFTnewdata"][k]])
        check(np.iscomplexobj(c) and c.shape == (len(want), 1), f"FFTnewdata{{{k + 1}}}: {c.shape} {c.dtype}, expected complex")
        check(same(c[:, 0].real, want.real) and same(c[:, 0].imag, want.imag), f"FFTnewdata{{{k + 1}}}: values differ")
    for name, values in dump["scalars"].items():
        got = cells(v[name], name, n)
        check(all(c.shape == (1, 1) and c.dtype == np.float64 for c in got), f"{name}: cells are not 1x1 doubles")
        check(same([c[0, 0] for c in got], values), f"{name}: values differ")
    for group, rows in (("histograms", 6), ("triples", 3)):
        for name, lists in dump[group].items():
            for k, c in enumerate(cells(v[name], name, n)):
                check(c.shape == (rows, 1) and same(c[:, 0], lists[k]), f"{name}{{{k + 1}}}: {c.shape} or values differ")
    for name in RECORDS:
        check_records(v, name, n, dump["records"][name])


def main():
    tool, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    subprocess.run([tool, "write", work], check=True)
    with open(os.path.join(work, "dump.json")) as f:
        dump = json.load(f)
    check(dump["N_DATA"] >= 2, "the dump has fewer than two data sets")
    check_analysis(os.path.join(work, "MagnitudeAnalysis.mat"), dump)
    check_grade_spread(os.path.join(work, "GRADE_SPREAD.mat"), dump, True)
    check_grade_spread(os.path.join(work, "nine", "GRADE_SPREAD.mat"), dump, False)
    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

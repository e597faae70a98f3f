"""The figure file as SciPy reads it.

Usage: figure_file_scipy.py <figure_file_tool> <work folder>

The tool writes sample.fig and dump.json with what the figure holds; the file is read
here with scipy.io.loadmat and compared with the dump: layout, line data and texts.
Exit 77 without SciPy.
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

FIGURE = ["format", "name", "menubar", "toolbar", "axes"]
AXES = ["title", "xlabel", "ylabel", "legend", "xgrid", "ygrid", "gridstyle", "gridwidth", "xlim", "ylim",
        "lines", "polygons", "texts"]
LINE = ["x", "y", "style", "linestyle", "marker", "color", "markerface", "markersize", "linewidth"]
POLYGON = ["x", "y", "facecolor", "edgecolor"]
TEXT = ["position", "string", "color", "fontsize", "rotation"]

failures = []


def check(ok, message):
    if not ok:
        failures.append(message)


def text(v):
    """A char array as loadmat gives it: one string, or an empty array for ''."""
    if v.dtype.kind != "U":
        return None
    return v[0] if v.size else ""


def check_text(v, want, where):
    check(text(v) == want, f"{where}: {v!r}, expected {want!r}")


def check_doubles(v, want, shape, where):
    want = np.asarray(want, dtype=float).reshape(shape)
    check(v.dtype == np.float64 and v.shape == shape and np.array_equal(v, want),
          f"{where}: {v.dtype} {v.shape} {v!r}, expected {shape} {want!r}")


def check_struct(v, fields, shape, where):
    ok = v.dtype.names is not None and list(v.dtype.names) == fields and v.shape == shape
    check(ok, f"{where}: {v.dtype} {v.shape}, expected a {shape} struct with fields {fields}")
    return ok


def check_optional(v, want, n, where):
    if want is None:
        check(v.size == 0 and v.dtype == np.float64, f"{where}: {v!r}, expected an empty double")
    else:
        check_doubles(v, want, (1, n), where)


def main():
    tool, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    subprocess.run([tool, work], check=True)
    with open(os.path.join(work, "dump.json"), encoding="utf-8") as f:
        dump = json.load(f)
    data = scipy.io.loadmat(os.path.join(work, "sample.fig"), squeeze_me=False)
    names = sorted(k for k in data if not k.startswith("__"))
    check(names == ["figure"], f"variables {names}, expected only figure")
    fig = data["figure"]
    if not check_struct(fig, FIGURE, (1, 1), "figure"):
        return report()
    fig = fig[0, 0]
    check_text(fig["format"], "orvane-figure-1", "figure.format")
    for key in ("name", "menubar", "toolbar"):
        check_text(fig[key], dump[key], f"figure.{key}")

    want = dump["axes"]
    axes = fig["axes"]
    if not check_struct(axes, AXES, (1, 1), "figure.axes"):
        return report()
    axes = axes[0, 0]
    for key in ("title", "xlabel", "ylabel", "gridstyle"):
        check_text(axes[key], want[key], f"figure.axes.{key}")
    legend = axes["legend"]
    check(legend.dtype == object and legend.shape == (1, len(want["legend"])),
          f"figure.axes.legend: {legend.dtype} {legend.shape}, expected a 1x{len(want['legend'])} cell")
    if legend.dtype == object:
        check([text(c) for c in legend.ravel()] == want["legend"], f"figure.axes.legend: {legend!r}")
    for key in ("xgrid", "ygrid", "gridwidth"):
        check_doubles(axes[key], want[key], (1, 1), f"figure.axes.{key}")
    for key in ("xlim", "ylim"):
        check_optional(axes[key], want[key], 2, f"figure.axes.{key}")

    lists = (("lines", LINE), ("polygons", POLYGON), ("texts", TEXT))
    for key, fields in lists:
        items = axes[key]
        n = len(want[key])
        if not check_struct(items, fields, (1, n) if n else (0, 0), f"figure.axes.{key}"):
            continue
        for k in range(n):
            got, exp, where = items[0, k], want[key][k], f"figure.axes.{key}({k + 1})"
            for name in fields:
                v, w = got[name], exp[name]
                if name in ("x", "y"):
                    check_doubles(v, w, (len(w), 1), f"{where}.{name}")
                elif name == "markerface":
                    check_optional(v, w, 3, f"{where}.{name}")
                elif isinstance(w, str):
                    check_text(v, w, f"{where}.{name}")
                elif isinstance(w, list):
                    check_doubles(v, w, (1, len(w)), f"{where}.{name}")
                else:
                    check_doubles(v, w, (1, 1), f"{where}.{name}")
    return report()


def report():
    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

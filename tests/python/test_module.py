"""The Python module against the batch command: the same numbers, the same folder, the same
messages; bad arguments refused; analyses in threads.

Run by ctest with PYTHONPATH at the built module and ORVANE_BATCH naming orvane-batch."""
import gc
import json
import os
import pathlib
import subprocess
import sys
import threading

import numpy as np
import pytest
import scipy.io

import orvane

BATCH = os.environ["ORVANE_BATCH"]
SOURCE = pathlib.Path(__file__).resolve().parents[2]
EXAMPLES = [str(SOURCE / "examples" / f) for f in ("measured.txt", "simulation_a.txt", "simulation_b.txt")]


def write_set(path, x, y):
    np.savetxt(path, np.column_stack([x, y]), fmt="%.17g")
    return str(path)


def time_case(folder):
    """Two damped oscillations sampled at different steps, and a third offset one."""
    t1 = np.linspace(0, 2e-7, 1500)
    t2 = np.linspace(0, 2e-7, 1100)
    t3 = np.linspace(1e-9, 1.9e-7, 1300)
    ring = lambda t, f, d: np.exp(-t / d) * np.sin(2 * np.pi * f * t)
    return [write_set(folder / "t1.txt", t1, ring(t1, 5e7, 6e-8)),
            write_set(folder / "t2.txt", t2, ring(t2, 5.3e7, 5e-8) + 0.02),
            write_set(folder / "t3.txt", t3, 0.9 * ring(t3, 4.8e7, 7e-8))]


def phase_case(folder):
    """Unwrapped phases in degrees of two slightly different delays with ripple."""
    f = np.linspace(1e6, 1e9, 1800)
    g = np.linspace(1e6, 1e9, 1201)
    return [write_set(folder / "p1.txt", f, -360 * f * 3.0e-9 + 10 * np.sin(f / 3e7)),
            write_set(folder / "p2.txt", g, -360 * g * 3.1e-9 + 12 * np.sin(g / 2.8e7))]


def batch(folder, domain, files, threshold="85", extra=()):
    run = subprocess.run([BATCH, "-q", "-d", domain, "-t", threshold, "-o", str(folder), *extra, *files],
                         capture_output=True, text=True)
    return run


def batch_folder(folder, domain, files, threshold="85", figures="none"):
    run = batch(folder, domain, files, threshold, ("--figures", figures))
    assert run.returncode == 0, run.stderr
    return pathlib.Path(run.stdout.strip())


def cells(mat, name):
    return [np.asarray(c).ravel() for c in mat[name].ravel()]


def records(mat, name):
    return [(int(r["value"][0, 0][0, 0]), str(r["range"][0, 0][0])) for r in mat[name].ravel()]


CASES = {
    "examples": ("magnitude", "85", lambda tmp: EXAMPLES),
    "time": ("time", "70", time_case),
    "phase": ("phase", "90", phase_case),
}


@pytest.mark.parametrize("case", CASES)
def test_values_equal_the_batch_commands_mat_files(case, tmp_path):
    domain, threshold, make = CASES[case]
    files = make(tmp_path)
    folder = batch_folder(tmp_path / "batch", domain, files, threshold)
    mat = scipy.io.loadmat(folder / ("PhaseAnalysis.mat" if domain == "phase" else "MagnitudeAnalysis.mat"))
    grades = scipy.io.loadmat(folder / threshold / "GRADE_SPREAD.mat")
    # Files for the examples; for the others the numbers orvane.read gives, as (x, y) pairs.
    sets = files if case == "examples" else [orvane.read(f)[:2] for f in files]
    r = orvane.analyse(sets, domain=domain, threshold=float(threshold))

    assert r.n_sets == len(files) == int(mat["N_DATA"][0, 0])
    assert np.array_equal(r.x, mat["Mfreq"].ravel())
    for attribute, name in [("resampled", "Mdata"), ("low", "LowData"), ("high", "HighData"), ("dc", "DC_data"),
                            ("adm_i", "ADMi"), ("adm_offset_i", "ADM_oldi"), ("fdm_i", "FDMi"), ("gdm_i", "GDMi"),
                            ("spectra", "FFTnewdata")]:
        ours, theirs = getattr(r, attribute), cells(mat, name)
        assert len(ours) == len(theirs) == r.n_sets + 1, attribute
        for k, (a, b) in enumerate(zip(ours, theirs)):
            assert np.array_equal(a, b), f"{attribute}[{k}]"
    for attribute, name in [("adm_c", "ADMc"), ("fdm_c", "FDMc"), ("gdm_c", "GDMc")]:
        assert np.array_equal(getattr(r, attribute), np.array(cells(mat, name))), attribute
    for attribute, name in [("adm_total", "ADMtot"), ("fdm_total", "FDMtot"), ("gdm_total", "GDMtot"),
                            ("k_adm", "Kadm"), ("k_fdm", "Kfdm"), ("alpha_adm", "Alpha_ADM"),
                            ("spectrum_totals", "TotalFFT")]:
        assert getattr(r, attribute) == [float(c[0]) for c in cells(mat, name)], attribute
    assert r.breakpoints == [int(b) for b in mat["breakpoint"].ravel()]
    for attribute, name in [("adm_parameters", "ParametersA"), ("fdm_parameters", "ParametersF"),
                            ("gdm_parameters", "ParametersG"), ("means", "parameters_means"),
                            ("medians", "parameters_median")]:
        assert getattr(r, attribute) == [tuple(c) for c in cells(mat, name)], attribute
    for measure in ("adm", "fdm", "gdm"):
        for what in ("grade", "spread"):
            name = f"{what.capitalize()}_{measure.upper()}"
            expected = records(grades, name)
            assert expected == records(mat, name)
            assert getattr(r, f"{measure}_{what}") == [v for v, _ in expected], name
            assert getattr(r, f"{measure}_{what}_range") == [s for _, s in expected], name


@pytest.mark.parametrize("case", ["examples", "phase"])
def test_output_writes_the_batch_commands_folder(case, tmp_path):
    domain, threshold, make = CASES[case]
    files = make(tmp_path)
    expected = batch_folder(tmp_path / "batch", domain, files, threshold, figures="fig")
    r = orvane.analyse(files, domain=domain, threshold=int(threshold), output=tmp_path / "module" / "nested")
    assert r.folder == str(tmp_path / "module" / "nested" / expected.name)
    compare = subprocess.run([sys.executable, str(SOURCE / "tools" / "compare_analysis_folders.py"),
                              str(expected), r.folder], capture_output=True, text=True)
    assert compare.returncode == 0, compare.stdout + compare.stderr
    again = orvane.analyse(files, domain=domain, threshold=int(threshold), output=tmp_path / "module" / "nested")
    assert again.folder == r.folder + "_1"


def test_summary_and_reference_set_match_the_batch_command(tmp_path):
    run = batch(tmp_path / "batch", "magnitude", EXAMPLES, extra=("--figures", "none", "--reference", "2"))
    assert run.returncode == 0, run.stderr
    folder = pathlib.Path(run.stdout.strip())
    r = orvane.analyse(EXAMPLES, reference=2, output=tmp_path / "module")
    ours = r.summary()
    assert ours == json.loads((pathlib.Path(r.folder) / "summary.json").read_text())
    theirs = json.loads((folder / "summary.json").read_text())
    assert ours.pop("folder") == r.folder and theirs.pop("folder") == str(folder)
    assert ours == theirs
    mat = scipy.io.loadmat(folder / "MagnitudeAnalysis.mat")
    assert r.gdm_total == [float(c[0]) for c in cells(mat, "GDMtot")]
    assert r.gdm_total[1] == r.gdm_total[-1] == 0  # set 2 is the reference: a perfect match


def test_data_errors_carry_the_batch_commands_messages(tmp_path):
    x = np.linspace(0, 1, 50)
    three = tmp_path / "three.csv"
    three.write_text("f,a,b\n" + "".join(f"{v},{v},{2 * v}\n" for v in x))
    apart = [write_set(tmp_path / "low.txt", x, np.sin(x)), write_set(tmp_path / "high.txt", x + 5, np.cos(x))]
    cases = [[EXAMPLES[0], str(tmp_path / "missing.txt")], [EXAMPLES[0], str(three)], apart]
    for files in cases:
        run = batch(tmp_path, "magnitude", files)
        assert run.returncode == 1
        with pytest.raises(orvane.DataError) as caught:
            orvane.analyse(files)
        assert "orvane-batch: " + str(caught.value) == run.stderr.strip().splitlines()[-1]
    with pytest.raises(orvane.DataError) as caught:
        orvane.read(three)
    assert caught.value.path == str(three) and caught.value.line > 0
    # A set given as numbers that cannot be analysed still fails as data.
    with pytest.raises(orvane.DataError, match="cannot be analysed"):
        orvane.analyse([(x, np.full(50, 1e308)), (x, np.zeros(50))])


def test_bad_arguments_raise_value_errors():
    x = np.linspace(1.0, 2.0, 100)
    y = np.sin(x)
    good = (x, y)
    nan_y = y.copy()
    nan_y[7] = np.nan
    falling = x.copy()
    falling[40] = 0.5
    bad = {
        "lengths": ([good, (x, y[:-1])], {}, "data set 2: x has 100 values and y 99"),
        "nan": ([good, (x, nan_y)], {}, r"data set 2: y\[7\] is nan"),
        "decreasing x": ([(falling, y), good], {}, "data set 1: x decreases at index 40"),
        "one set": ([good], {}, "2 to 8 data sets are needed, not 1"),
        "nine sets": ([good] * 9, {}, "2 to 8 data sets are needed, not 9"),
        "2-D y": ([good, (x, np.column_stack([y, y]))], {}, r"data set 2: y must be one-dimensional, not of shape \(100, 2\)"),
        "2-D set": ([good, np.vstack([x, y])], {}, "data set 2 must be a file path or an"),
        "text y": ([good, (x, ["a"] * 100)], {}, "data set 2: y is not an array of numbers"),
        "domain": ([good, good], {"domain": "frequency"}, "domain is"),
        "threshold": ([good, good], {"threshold": 101}, "threshold must be a number from 0 to 100"),
        "reference": ([good, good], {"reference": 3}, "reference is \"average\" or the number of a data set, 1 to 2"),
        "grid": ([good, good], {"grid": ("cubic", 100)}, "grid is None"),
        "grid points": ([good, good], {"grid": ("log", 1)}, "grid is None"),
    }
    for name, (sets, keywords, message) in bad.items():
        with pytest.raises(ValueError, match=message):
            orvane.analyse(sets, **keywords)
    with pytest.raises(ValueError, match="quantity is db, mag, deg or deg-unwrapped"):
        orvane.read(EXAMPLES[0], quantity="rad")
    with pytest.raises(TypeError, match="unexpected keyword argument 'colums'"):
        orvane.read(EXAMPLES[0], colums=(1, 2))
    # The choices are taken, though their effect is not this branch's.
    orvane.analyse([good, good], reference=np.int64(2), grid=("uniform", 64))


def test_read_finds_columns_units_and_metadata(tmp_path):
    f = np.linspace(1, 100, 40)
    export = tmp_path / "vna.csv"
    export.write_text("Type;Analyser;\nValues;40;\nFreq [MHz];S21 [dB];Phase\n"
                      + "".join(f"{v!r};{-v / 10!r};{v!r}\n" for v in f.tolist()))
    x, y, found = orvane.read(export, columns="Freq,S21")
    assert np.allclose(x, f * 1e6, rtol=0, atol=1e-3) and np.allclose(y, -f / 10, atol=1e-9)
    assert (found["columns"], found["x_unit"], found["x_scale"], found["skipped_lines"]) == (3, "MHz", 1e6, 3)
    assert found["summary"] and not found["plain"]
    # The batch command's per-file suffix picks the same columns inside analyse().
    r = orvane.analyse([f"{export}:columns=1,2", (x, y + 0.5)])
    assert np.allclose(r.x, x, rtol=1e-12, atol=0) and r.read_reports[0]["y_column"] == 2 and r.read_reports[1] is None


def test_views_share_the_results_memory_and_keep_it_alive():
    x = np.linspace(0, 1, 4000)
    r = orvane.analyse([(x, np.sin(9 * x)), (x, np.sin(9.3 * x))], domain="time")
    gdm = r.gdm_i[0]
    assert np.shares_memory(gdm, r.gdm_i[0]) and np.shares_memory(r.adm_c, r.adm_c)
    assert r.adm_c.shape == (3, 6) and not gdm.flags.writeable
    with pytest.raises(ValueError):
        gdm[0] = 1
    expected = gdm.copy()
    del r
    gc.collect()
    np.ones(len(x) * 4)  # memory that would reuse a freed block
    # An analysis of the same size takes the blocks freed analyses left for reuse, and
    # release_memory() gives them back: neither may touch the arrays a view still holds.
    orvane.analyse([(x, np.cos(5 * x)), (x, np.cos(5.5 * x))], domain="time")
    orvane.release_memory()
    assert np.array_equal(gdm, expected)


def test_two_threads_give_what_one_after_the_other_gives():
    x = np.linspace(1e6, 1e9, 60000)
    sets_a = [(x, np.sin(x / 2e7) + 0.01 * np.cos(x / 1e6)), (x, np.sin(x / 2.1e7))]
    sets_b = [(x, np.cos(x / 3e7)), (x, np.cos(x / 3.2e7) + 0.1), (x[::2], np.cos(x[::2] / 2.9e7))]
    alone = [orvane.analyse(sets_a), orvane.analyse(sets_b, weighting=False)]
    together = [None, None]
    start = threading.Barrier(2)

    def run(k, sets, weighting):
        start.wait()
        together[k] = orvane.analyse(sets, weighting=weighting)

    threads = [threading.Thread(target=run, args=(0, sets_a, True)),
               threading.Thread(target=run, args=(1, sets_b, False))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for a, b in zip(alone, together):
        assert np.array_equal(a.x, b.x)
        for k in range(a.n_sets + 1):
            assert np.array_equal(a.gdm_i[k], b.gdm_i[k]) and np.array_equal(a.low[k], b.low[k])
        assert (a.gdm_total, a.gdm_grade, a.gdm_spread, a.k_adm) == (b.gdm_total, b.gdm_grade, b.gdm_spread, b.k_adm)


def test_typing_stubs_name_every_attribute():
    stubs = (pathlib.Path(orvane.__file__).parent / "orvane.pyi").read_text()
    for name in [n for n in dir(orvane.Result) if not n.startswith("_")] + ["def read(", "def analyse(", "class DataError"]:
        assert (f"def {name}(" if not name.startswith(("def ", "class ")) else name) in stubs, name

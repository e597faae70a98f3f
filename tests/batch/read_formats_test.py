#!/usr/bin/env python3
"""The same measured S21 given as Touchstone (RI, MA, DB; versions 1 and 2), as an analyser
CSV with a metadata block, as a three-column CSV picked with --columns, as decimal-comma and
UTF-16 text, and as plain two-column text: every analysis must give the same GreadSpread and
ADM reports. Usage: read_formats_test.py ORVANE_BATCH"""
import cmath
import math
import os
import re
import subprocess
import sys
import tempfile

from checks import check, failures

batch = sys.argv[1]


# A band-pass response with ripple: 1 … 3 GHz, 301 points, frequencies exact in MHz.
freqs_mhz = [1000 + 6.25 * k for k in range(321)]
def s21(f_mhz):
    x = (f_mhz - 2000) / 400
    return 0.8 / complex(1, 2.2 * x) * cmath.exp(-1j * f_mhz / 90) * (1 + 0.05 * math.sin(f_mhz / 37))
def s21_b(f_mhz):  # the model: a little off
    return s21(f_mhz * 1.01) * 0.97
def s11(f_mhz):
    return 0.3 * cmath.exp(1j * f_mhz / 200)

# Values as a Touchstone writer stores them (text with 12 significant digits), and what a
# reader must make of them.
def g(v):
    return "%.12g" % v

def stored(c, fmt):
    if fmt == "RI":
        return g(c.real), g(c.imag)
    if fmt == "MA":
        return g(abs(c)), g(math.degrees(cmath.phase(c)))
    return g(20 * math.log10(abs(c))), g(math.degrees(cmath.phase(c)))

def db_of(pair, fmt):
    a, b = float(pair[0]), float(pair[1])
    if fmt == "RI":
        return 20 * math.log10(math.hypot(a, b))
    if fmt == "MA":
        return 20 * math.log10(abs(a))
    return a

work = tempfile.mkdtemp()
def write(name, text, encoding="utf-8"):
    path = os.path.join(work, name)
    with open(path, "w", encoding=encoding, newline="") as f:
        f.write(text)
    return path

def touchstone(name, fmt, unit, scale, version=1, order="21_12"):
    lines = ["! measured with a two-port analyser", "# %s S %s R 50" % (unit, fmt)]
    if version == 2:
        lines = ["[Version] 2.0", "# %s S %s R 50" % (unit, fmt), "[Number of Ports] 2",
                 "[Two-Port Data Order] %s" % order, "[Number of Frequencies] %d" % len(freqs_mhz),
                 "[Reference] 50 50", "[Network Data]"]
    for f in freqs_mhz:
        p11, p21, p22 = stored(s11(f), fmt), stored(s21(f), fmt), stored(s11(f) * 0.5, fmt)
        p12 = stored(s21(f) * 0.1, fmt)  # S12 differs, so a wrong column order shows
        pairs = [p11, p21, p12, p22] if order == "21_12" else [p11, p12, p21, p22]
        lines.append(" ".join([g(f * scale)] + [v for p in pairs for v in p]))
    if version == 2:
        lines.append("[End]")
    return write(name, "\n".join(lines) + "\n")

# The plain reference holds exactly what the readers must compute from each stored form;
# the three forms round differently, so each has its own reference.
def plain_reference(fmt, unit="MHz", scale=1.0):
    mult = {"Hz": 1, "MHz": 1e6, "GHz": 1e9}[unit]
    rows = ["%r %r" % (float(g(f * scale)) * mult, db_of(stored(s21(f), fmt), fmt)) for f in freqs_mhz]
    return write("plain_%s.txt" % fmt, "# frequency/Hz S21/dB\n" + "\n".join(rows) + "\n")

model = write("model.txt", "".join("%r %r\n" % (f * 1e6, 20 * math.log10(abs(s21_b(f)))) for f in freqs_mhz))

def same(a, b, exact):
    """Equal reports: byte for byte, or (where this script's arithmetic may differ from the
    reader's in the last bit, as Python's hypot does) every number within 1e-9."""
    if exact or a.keys() != b.keys():
        return a == b
    for k in a:
        ta, tb = a[k].split(), b[k].split()
        if len(ta) != len(tb):
            return False
        for x, y in zip(ta, tb):
            try:
                fx, fy = float(x), float(y)
            except ValueError:
                if x != y:
                    return False
                continue
            if abs(fx - fy) > 1e-9 * max(1.0, abs(fx), abs(fy)):
                return False
    return True


def run(*args):
    out = tempfile.mkdtemp(dir=work)
    r = subprocess.run([batch, "-d", "magnitude", "--figures", "none", "-o", out, *args],
                       capture_output=True, text=True)
    check(r.returncode == 0, "run %s: %s" % (args, r.stderr.strip()))
    folder = os.path.join(out, "Frequency Domain Analysis")
    reports = {}
    if os.path.isdir(folder):
        for n in sorted(os.listdir(folder)):
            if n.startswith(("GreadSpread", "ADM")) and n.endswith(".txt"):
                with open(os.path.join(folder, n), "rb") as f:
                    reports[n] = f.read()
    check(reports, "no reports from %s" % (args,))
    return reports, r.stderr

# Touchstone in RI, MA and DB, versions 1 and 2, against plain text of the same values.
for fmt, unit, scale in (("RI", "MHz", 1.0), ("MA", "GHz", 1e-3), ("DB", "Hz", 1e6)):
    expected, _ = run(plain_reference(fmt, unit, scale), model)
    v1, notes = run(touchstone("dut_%s.s2p" % fmt, fmt, unit, scale), model)
    exact = fmt != "RI"  # dB and magnitude are taken as stored; RI goes through hypot
    check(same(v1, expected, exact), "Touchstone 1 %s differs from plain text" % fmt)
    check("S21 as dB" in notes and unit + " → Hz" in notes, "no reading note for %s: %s" % (fmt, notes))
    v2, _ = run(touchstone("dut2_%s.ts" % fmt, fmt, unit, scale, version=2, order="12_21"), model)
    check(same(v2, expected, exact), "Touchstone 2 (12_21) %s differs from plain text" % fmt)

# S12 picked per file: a different result, equal to plain text of S12.
expected_s12, _ = run(write("plain_s12.txt", "".join("%r %r\n" % (f * 1e6, db_of(stored(s21(f) * 0.1, "RI"), "RI"))
                                                      for f in freqs_mhz)), model)
got_s12, _ = run(os.path.join(work, "dut_RI.s2p") + ":param=S12", model)
check(same(got_s12, expected_s12, False), "param=S12 suffix differs from plain S12 text")
check(not same(got_s12, run(os.path.join(work, "dut_RI.s2p"), model)[0], False), "S12 gave the S21 result")

# Text forms of the same values, read exactly: x in MHz from the header, y chosen among columns.
ref = [(f, db_of(stored(s21(f), "DB"), "DB")) for f in freqs_mhz]
expected, _ = run(plain_reference("DB"), model)
three = write("three.csv", "Frequency [MHz],S11 [dB],S21 [dB]\n" +
              "".join("%r,%r,%r\n" % (f, -20.0 + f / 1e4, y) for f, y in ref))
check(run("--columns", "1,3", three, model + ":columns=1,2")[0] == expected, "--columns 1,3 differs")
check(run(three + ":columns=Frequency,S21", model)[0] == expected, "columns by title differ")
analyser = write("analyser.csv", "Type;Network Analyser;\nVersion;1.2;\nDate;2024-03-01;\nValues;%d;\n"
                 "Freq/MHz;S21 Log Mag [dB];\n" % len(ref) + "".join('"%r";"%r";\n' % (f, y) for f, y in ref))
got, notes = run(analyser, model)
check(got == expected, "analyser CSV with metadata differs")
check("5 metadata lines skipped" in notes and "quoted" in notes, "analyser notes: " + notes)
comma = write("comma.txt", "f (kHz)\tS21\n" + "".join(("%r\t%r\n" % (f * 1e3, y)).replace(".", ",") for f, y in ref))
got, notes = run(comma, model)
check(got == expected, "decimal-comma file differs")
check("decimal comma" in notes, "decimal comma not reported: " + notes)
utf16 = write("utf16.txt", "\ufeffFrequency [MHz];S21\r\n" + "".join("%r;%r\r\n" % (f, y) for f, y in ref),
              encoding="utf-16-le")
got, notes = run(utf16, model)
check(got == expected, "UTF-16 file differs")
check("UTF-16LE" in notes, "UTF-16 not reported: " + notes)

# Refusals: three columns without a choice names the option; a bad line after the data began
# is still an error naming its line.
r = subprocess.run([batch, "-q", "--figures", "none", "-o", work, three, model], capture_output=True, text=True)
check(r.returncode == 1 and "3 columns" in r.stderr and "--columns" in r.stderr, "three columns: " + r.stderr)
bad = write("bad.txt", "1 2\n2 3\nthree 4\n4 5\n")
r = subprocess.run([batch, "-q", "--figures", "none", "-o", work, bad, model], capture_output=True, text=True)
check(r.returncode == 1 and re.search(r'bad\.txt(, line |:)3\b.*"three" is not a number', r.stderr),
      "bad line: " + r.stderr)

if failures:
    sys.exit("%d failure(s)" % len(failures))
print("all formats agree")

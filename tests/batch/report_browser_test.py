#!/usr/bin/env python3
"""report.html as a real browser shows it. The example analysis: headless Chromium loads it
without an error and without reaching for anything outside the file, prints it to an A4 PDF
of the expected length, takes a screenshot, and its DOM holds every set's grade and spread
as GRADE_SPREAD.mat records them. File names with blanks, quotes, markup, '&', non-ASCII
letters and bytes that are not UTF-8 show as themselves and never as markup.

Usage: report_browser_test.py ORVANE_BATCH EXAMPLES [SCREENSHOT.png]"""
import html.parser
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

import scipy.io

batch, examples = sys.argv[1], pathlib.Path(sys.argv[2])
screenshot_copy = sys.argv[3] if len(sys.argv) > 3 else None
failures = []
checks = 0


def check(ok, what):
    global checks
    checks += 1
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def chromium(work, *args):
    """Runs headless Chromium; gives (exit status, stdout, stderr)."""
    command = ["chromium", "--headless", "--disable-gpu", "--user-data-dir=" + str(work / "profile"),
               "--enable-logging=stderr", "--v=0", "--no-first-run",
               # Any request beyond the file itself fails, and shows in the log.
               "--host-resolver-rules=MAP * ~NOTFOUND"]
    if os.geteuid() == 0:
        command.append("--no-sandbox")
    p = subprocess.run(command + list(args), capture_output=True, timeout=180)
    return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace")


def page_problems(log):
    """Lines of a Chromium log that tell of a fault of the page (not of the missing desktop bus)."""
    return [line for line in log.splitlines()
            if re.search(r"CONSOLE|Uncaught|net::ERR|Failed to load|Not allowed to load", line)]


class Cells(html.parser.HTMLParser):
    """Texts of the cells and list items, the attributes of class cells, and any element that
    turned up inside a cell holding a file name."""

    def __init__(self):
        super().__init__()
        self.grades, self.files, self.legend, self.injected = {}, [], [], []
        self._in = None
        self._text = ""

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if self._in == "td":
            self.injected.append(tag)
        if tag == "td" and "data-grade" in a:
            self.grades.setdefault((int(a["data-set"]), a["data-measure"]), {})["grade"] = float(a["data-grade"])
        if tag == "td" and "data-spread" in a:
            self.grades.setdefault((int(a["data-set"]), a["data-measure"]), {})["spread"] = float(a["data-spread"])
        if (tag == "td" and a.get("class") == "file") or tag == "li":
            self._in, self._text = tag, ""

    def handle_endtag(self, tag):
        if self._in == tag:
            (self.files if tag == "td" else self.legend).append(self._text)
            self._in = None

    def handle_data(self, data):
        if self._in:
            self._text += data


def analyse(work, files):
    out = work / "out"
    out.mkdir()
    p = subprocess.run([batch, "-q", "-d", "magnitude", "-o", str(out)] + [os.fsencode(f) for f in files],
                       capture_output=True)
    check(p.returncode == 0, "orvane-batch failed: " + p.stderr.decode("utf-8", "replace"))
    return out / "Frequency Domain Analysis"


def example_report():
    with tempfile.TemporaryDirectory() as w:
        work = pathlib.Path(w)
        names = ["measured.txt", "simulation_a.txt", "simulation_b.txt"]
        folder = analyse(work, [examples / n for n in names])
        report = folder / "report.html"
        text = report.read_text(encoding="utf-8")
        # Self-contained: nothing fetched, nothing run.
        check(not re.search(r"<script|<link|<img|<iframe|src=|@import|url\((?!#)", text),
              "the report refers to something outside itself or runs a script")
        url = report.as_uri()

        status, dom, log = chromium(work, "--dump-dom", url)
        check(status == 0 and "</html>" in dom, f"--dump-dom failed (status {status})")
        check(not page_problems(log), "the browser reports: " + "; ".join(page_problems(log)))
        cells = Cells()
        cells.feed(dom)
        mat = scipy.io.loadmat(folder / "85" / "GRADE_SPREAD.mat")
        sets = int(mat["N_DATA"][0, 0]) + 1
        for k in range(1, sets + 1):
            for measure in ("ADM", "FDM", "GDM"):
                want = {key: float(mat[f"{name}_{measure}"][0, k - 1]["value"][0, 0][0, 0])
                        for key, name in (("grade", "Grade"), ("spread", "Spread"))}
                check(cells.grades.get((k, measure)) == want,
                      f"set {k} {measure}: the page shows {cells.grades.get((k, measure))}, the MAT-file {want}")
        check(len(cells.grades) == 3 * sets, f"{len(cells.grades)} result rows for {sets} sets")
        check([pathlib.Path(f).name for f in cells.files] == names, f"input table names {cells.files}")

        pdf = work / "report.pdf"
        status, _, log = chromium(work, "--no-pdf-header-footer", "--print-to-pdf=" + str(pdf), url)
        check(status == 0 and pdf.exists(), f"--print-to-pdf failed (status {status})")
        check(not page_problems(log), "the browser reports while printing: " + "; ".join(page_problems(log)))
        if pdf.exists():
            info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True).stdout
            pages = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
            size = re.search(r"^Page size:\s+([\d.]+) x ([\d.]+)", info, re.M)
            # A4, one page for the header and the inputs, one for the results, one per set.
            check(size and abs(float(size.group(1)) - 595) < 3 and abs(float(size.group(2)) - 842) < 3,
                  "the PDF is not A4: " + (size.group(0) if size else info))
            check(4 <= pages <= 7, f"the PDF of three sets has {pages} pages")

        png = work / "report.png"
        status, _, _ = chromium(work, "--window-size=1100,3200", "--hide-scrollbars", "--screenshot=" + str(png), url)
        check(status == 0 and png.exists() and png.stat().st_size > 50000, "no screenshot")
        if screenshot_copy and png.exists():
            shutil.copyfile(png, screenshot_copy)


def hostile_names():
    with tempfile.TemporaryDirectory() as w:
        work = pathlib.Path(w)
        data = work / "data"
        data.mkdir()
        names = [b'set one "quoted" <b>bold & co\'s.txt', "Größe µs 日本.txt".encode(), b"bad \xff\xfe name.txt"]
        for name, source in zip(names, ["measured.txt", "simulation_a.txt", "simulation_b.txt"]):
            shutil.copyfile(examples / source, os.path.join(os.fsencode(data), name))
        folder = analyse(work, [os.path.join(os.fsencode(data), n) for n in names])
        status, dom, log = chromium(work, "--dump-dom", (folder / "report.html").as_uri())
        check(status == 0, "--dump-dom of the report with odd names failed")
        cells = Cells()
        cells.feed(dom)
        shown = [n.decode("utf-8", "replace") for n in names]
        check([f.rsplit("/", 1)[-1] for f in cells.files] == shown, f"the input table shows {cells.files}, not {shown}")
        check([item.rsplit("/", 1)[-1] for item in cells.legend] == shown, f"the legend shows {cells.legend}")
        check(not cells.injected, f"a file name became markup: {cells.injected}")
        check(len(cells.grades) == 12, "the odd names broke the result table")


example_report()
hostile_names()
print(f"{checks - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""orvane-batch's progress display on a terminal: one overall percentage that never goes
backwards, redrawn in place; plain lines when TERM=dumb; nothing when stderr is not a terminal.
Usage: progress_test.py <orvane-batch>"""
import math
import os
import pty
import re
import subprocess
import sys
import tempfile

batch = sys.argv[1]
failures = []


def check(name, ok, detail=""):
    if not ok:
        failures.append(name)
        print(f"FAILED {name}: {detail}")


with tempfile.TemporaryDirectory() as work:
    # Large enough for many progress notes in every stage.
    for name, extra in (("a.txt", 0.0), ("b.txt", 0.1)):
        with open(os.path.join(work, name), "w") as f:
            for i in range(60000):
                f.write(f"{i} {math.sin(i / 50) + extra * math.cos(i / 7)}\n")

    def run_on_terminal(term):
        controller, terminal = pty.openpty()
        env = dict(os.environ, TERM=term)
        proc = subprocess.Popen([batch, "--figures", "none", "a.txt", "b.txt"], cwd=work, env=env,
                                stdout=subprocess.DEVNULL, stderr=terminal)
        os.close(terminal)
        data = b""
        while True:
            try:
                chunk = os.read(controller, 65536)
            except OSError:  # the terminal's other side closed
                break
            if not chunk:
                break
            data += chunk
        os.close(controller)
        return proc.wait(), data.decode("utf-8", "replace")

    for term in ("xterm", "dumb"):
        rc, text = run_on_terminal(term)
        percents = [int(p) for p in re.findall(r"(\d+)% [A-Z]", text)]
        stages = re.findall(r"\d+% ([A-Za-z /]+)", text)
        check(f"{term}: run", rc == 0, f"exit {rc}")
        check(f"{term}: shown", len(percents) >= 3, repr(text[:300]))
        check(f"{term}: never backwards", percents == sorted(percents) and percents[-1] >= 90, percents)
        check(f"{term}: several stages", len(set(stages)) >= 3, stages)
        if term == "dumb":
            check("dumb: no cursor control", "\033" not in text and "\r" not in text.replace("\r\n", "\n"), repr(text[:300]))
            check("dumb: one line per report", all(re.fullmatch(r" *\d+% [A-Z].+", l) for l in text.splitlines() if l), repr(text[:300]))
        else:
            redrawn = re.findall(r"\r\033\[K *\d+% [A-Z]", text)
            check("xterm: redrawn in place", len(redrawn) == len(percents) and "\n" not in text, repr(text[:300]))

    # Not a terminal: no progress at all.
    proc = subprocess.run([batch, "--figures", "none", "a.txt", "b.txt"], cwd=work, capture_output=True, text=True)
    check("pipe: no progress", proc.returncode == 0 and "%" not in proc.stderr, proc.stderr[:300])

print("progress:", "ok" if not failures else f"{len(failures)} failed")
sys.exit(1 if failures else 0)

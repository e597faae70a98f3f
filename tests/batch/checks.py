"""The batch tests' one way to record a failed check and go on, so that a run reports every
fault it finds, not only the first."""
import sys

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)

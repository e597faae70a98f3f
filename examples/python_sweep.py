#!/usr/bin/env python3
"""A parameter sweep against one measurement, collected into a table.

A simple enclosure model (slot leakage and four cavity resonances) is "simulated" for a
range of resonance shifts and losses; every curve is compared with measured.txt, and one
row per run lists the totals, grades and spreads of the simulation (set 2 against the
average of the two). The best run comes first. Needs numpy and the orvane module:

    PYTHONPATH=build/python /usr/bin/python3 examples/python_sweep.py
"""
import itertools
import pathlib

import numpy as np

import orvane

HERE = pathlib.Path(__file__).resolve().parent
CAVITY = [(312.0, 22.0, 30.0), (498.0, 28.0, 45.0), (705.0, 18.0, 35.0), (861.0, 25.0, 50.0)]


def simulated(f_hz, shift, loss):
    """Shielding effectiveness in dB: resonances moved by `shift`, made shallower and broader by `loss`."""
    f = f_hz / 1e6
    se = 95.0 - 20.0 * np.log10(1.0 + f / 8.0)
    for centre, depth, q in CAVITY:
        centre *= shift
        detune = (f - centre) / (centre / (2.0 * q / loss))
        se -= depth / loss / (1.0 + detune**2)
    return se


def main():
    measurement = orvane.read(HERE / "measured.txt")[:2]
    f = np.linspace(1e6, 1e9, 1200)
    rows = []
    for shift, loss in itertools.product([0.97, 0.985, 1.0, 1.015, 1.03], [0.8, 1.0, 1.25]):
        r = orvane.analyse([measurement, (f, simulated(f, shift, loss))], domain="magnitude")
        rows.append((r.gdm_total[1], shift, loss, r.adm_total[1], r.fdm_total[1],
                     r.adm_grade[1], r.fdm_grade[1], r.gdm_grade[1], r.gdm_spread[1]))
    rows.sort()
    print(f"{'shift':>6} {'loss':>5} {'ADM':>8} {'FDM':>8} {'GDM':>8}  grade A/F/G  GDM spread")
    for gdm, shift, loss, adm, fdm, ga, gf, gg, sg in rows:
        print(f"{shift:6.3f} {loss:5.2f} {adm:8.4f} {fdm:8.4f} {gdm:8.4f}  {ga:>5}/{gf}/{gg}  {sg:>10}")


if __name__ == "__main__":
    main()

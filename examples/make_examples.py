#!/usr/bin/env python3
"""Writes the example data sets: the shielding effectiveness of a metal enclosure with a
slot, in dB over 1 MHz - 1 GHz, once measured and twice simulated.

Shielding falls with frequency as the slot leaks more, and drops sharply at the cavity
resonances of the enclosure. The measurement has receiver noise and a noise floor; the
two simulations differ in mesh (resonances a little off) and in losses (resonance depth).
Run it from any folder; the files land next to this script. Only the standard library is
used, with a fixed seed, so the files are reproducible."""

import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def shielding(f_hz, resonances, depth_scale, q_scale):
    """Shielding effectiveness in dB at f_hz."""
    f_mhz = f_hz / 1e6
    # Slot leakage: ~20 dB/decade loss of shielding from a 95 dB start.
    se = 95.0 - 20.0 * math.log10(1.0 + f_mhz / 8.0)
    for centre, depth, q in resonances:
        detune = (f_mhz - centre) / (centre / (2.0 * q * q_scale))
        se -= depth * depth_scale / (1.0 + detune * detune)
    return se


def write(name, freqs, values, header):
    path = os.path.join(HERE, name)
    with open(path, "w", newline="\n") as out:
        out.write(header)
        for f, v in zip(freqs, values):
            out.write(f"{f:.6e} {v:.4f}\n")


def main():
    rng = random.Random(1597)
    cavity = [(312.0, 22.0, 30.0), (498.0, 28.0, 45.0), (705.0, 18.0, 35.0), (861.0, 25.0, 50.0)]

    # Measured: 1601 points (a network analyser sweep), noise and a 10 dB noise floor.
    f_meas = [1e6 + k * (1e9 - 1e6) / 1600 for k in range(1601)]
    meas = []
    for f in f_meas:
        se = shielding(f, cavity, 1.0, 1.0) + rng.gauss(0.0, 0.6)
        meas.append(max(se, 10.0 + rng.gauss(0.0, 0.3)))
    write("measured.txt", f_meas, meas,
          "# Shielding effectiveness of the test enclosure, measured\n# frequency/Hz SE/dB\n")

    # Simulation A: fine mesh, resonances 1.5 % low, slightly higher Q.
    f_a = [0.5e6 + k * (1.05e9 - 0.5e6) / 999 for k in range(1000)]
    shifted = [(c * 0.985, d, q) for c, d, q in cavity]
    write("simulation_a.txt", f_a, [shielding(f, shifted, 1.05, 1.2) for f in f_a],
          "% Shielding effectiveness, solver A (fine mesh)\n")

    # Simulation B: coarse mesh, resonances 3 % high, more loss (shallower, broader dips).
    f_b = [1e6 + k * (1e9 - 1e6) / 2500 for k in range(2501)]
    moved = [(c * 1.03, d, q) for c, d, q in cavity]
    write("simulation_b.txt", f_b, [shielding(f, moved, 0.8, 0.7) + 1.5 for f in f_b],
          "# Shielding effectiveness, solver B (coarse mesh)\n")


if __name__ == "__main__":
    main()

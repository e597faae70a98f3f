// Tick positions and labels of a plot axis: round steps on a linear axis, decades on a
// logarithmic one, labels with engineering prefixes (kHz, MHz, GHz; ns, µs, ms).
#pragma once

#include <string>
#include <vector>

namespace orvane {

struct Tick {
    double value = 0;
    std::string label;
};

// A value with the engineering prefix that keeps its number between 1 and 1000 and up to
// four significant digits: (2.5e6, "Hz") → "2.5 MHz", (1e-8, "s") → "10 ns", (0, "Hz") → "0".
// Without a unit the number stands alone ("0.25", "2.5e+06"); below 1e-12 and from 1e15 on
// it is written with an exponent.
std::string engineeringLabel(double value, const std::string& unit);

// Ticks at round steps (1, 2 or 5 × 10^n) covering [lo, hi], about `target` of them.
std::vector<Tick> linearTicks(double lo, double hi, const std::string& unit, int target = 6);

// Ticks at the decades inside [lo, hi] (lo > 0); with fewer than two decades inside, the
// 2 and 5 multiples are added.
std::vector<Tick> logTicks(double lo, double hi, const std::string& unit);

// Whether a positive range spans more than two decades, so that a logarithmic axis shows it.
bool spansDecades(double lo, double hi);

}  // namespace orvane

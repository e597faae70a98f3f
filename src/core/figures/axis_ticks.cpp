#include "figures/axis_ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orvane {

namespace {

// Shortest form with up to `digits` significant digits, whatever the process locale.
std::string formatted(double v, int digits)
{
    char text[48];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, digits).ptr;
    return std::string(text, end);
}

double roundedToDigits(double v, int digits)
{
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(v))) - (digits - 1));
    return std::round(v / unit) * unit;
}

}  // namespace

std::string engineeringLabel(double value, const std::string& unit)
{
    static const char* const prefixes[] = {"p", "n", "\xC2\xB5", "m", "", "k", "M", "G", "T"};
    if (value == 0 || !std::isfinite(value)) return formatted(value, 6);
    if (unit.empty()) return formatted(roundedToDigits(value, 4), 4);
    const double magnitude = std::fabs(value);
    if (magnitude < 1e-12 * (1 - 1e-9) || magnitude >= 1e15) return formatted(value, 4) + " " + unit;
    // Rounding first, so that 999.99996e6 is "1 GHz" and not "1000 MHz".
    const double rounded = roundedToDigits(value, 4);
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(rounded)) / 3)) * 3;
    exponent = std::max(-12, std::min(12, exponent));
    const double scaled = rounded / std::pow(10.0, exponent);
    const std::string prefix = prefixes[(exponent + 12) / 3];
    return formatted(scaled, 4) + " " + prefix + unit;
}

std::vector<Tick> linearTicks(double lo, double hi, const std::string& unit, int target)
{
    std::vector<Tick> ticks;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) return ticks;
    const double rough = (hi - lo) / std::max(target, 2);
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    double step = decade;
    for (const double m : {2.0, 5.0, 10.0})
        if (step < rough) step = m * decade;
    const double first = std::ceil(lo / step - 1e-9) * step;
    for (int i = 0;; ++i) {
        double v = first + i * step;
        if (v > hi + step * 1e-9) break;
        if (std::fabs(v) < step * 1e-9) v = 0;  // no "-1e-17" at the origin
        ticks.push_back({v, engineeringLabel(v, unit)});
    }
    return ticks;
}

std::vector<Tick> logTicks(double lo, double hi, const std::string& unit)
{
    std::vector<Tick> ticks;
    if (!(lo > 0) || !(hi > lo) || !std::isfinite(hi)) return ticks;
    const int first = static_cast<int>(std::ceil(std::log10(lo) - 1e-9));
    const int last = static_cast<int>(std::floor(std::log10(hi) + 1e-9));
    const bool fine = last - first < 2;
    static constexpr double kMultiples[] = {1, 2, 5};
    for (int e = first - 1; e <= last; ++e)
        for (std::size_t m = 0; m < (fine ? 3u : 1u); ++m) {
            const double v = kMultiples[m] * std::pow(10.0, e);
            if (v >= lo * (1 - 1e-9) && v <= hi * (1 + 1e-9)) ticks.push_back({v, engineeringLabel(v, unit)});
        }
    return ticks;
}

bool spansDecades(double lo, double hi) { return lo > 0 && std::isfinite(hi) && hi / lo > 100; }

}  // namespace orvane

#include "method/classes.h"

namespace orvane {

int confidenceClass(double x)
{
    if (x >= 0 && x <= 0.1) return 1;
    if (x > 0.1 && x <= 0.2) return 2;
    if (x > 0.2 && x <= 0.4) return 3;
    if (x > 0.4 && x <= 0.8) return 4;
    if (x > 0.8 && x <= 1.6) return 5;
    if (x > 1.6) return 6;
    return 0;
}

Histogram classHistogram(std::span<const double> v, double normaliser)
{
    // Counts of the values at or above each class's lower bound, without a branch, so that
    // the loop runs on vectors; a class holds the difference of two neighbouring counts.
    // Negative values and not-a-number pass no comparison and fall in no class.
    std::array<std::size_t, kClasses> atLeast{};
    for (double x : v) {
        atLeast[0] += x >= 0;
        atLeast[1] += x > 0.1;
        atLeast[2] += x > 0.2;
        atLeast[3] += x > 0.4;
        atLeast[4] += x > 0.8;
        atLeast[5] += x > 1.6;
    }
    std::array<std::size_t, kClasses> counts{};
    for (std::size_t c = 0; c < kClasses; ++c) counts[c] = atLeast[c] - (c + 1 < kClasses ? atLeast[c + 1] : 0);
    Histogram h;
    for (std::size_t c = 0; c < kClasses; ++c) h[c] = static_cast<double>(counts[c]) / normaliser;
    return h;
}

double meanClass(const Histogram& h)
{
    double s = 0.0;
    for (std::size_t c = 0; c < kClasses; ++c) s += static_cast<double>(c + 1) * h[c];
    return s;
}

double classScaleTotal(double x)
{
    if (x <= 0.1) return 1 + 10 * x;
    if (x <= 0.2) return 2 + 10 * (x - 0.099);
    if (x <= 0.4) return 3 + 5 * (x - 0.199);
    if (x <= 0.8) return 4 + 2.5 * (x - 0.399);
    if (x <= 1.6) return 5 + 1.25 * (x - 0.799);
    if (x > 1.6) return 6;
    return x;  // not-a-number stays not-a-number
}

}  // namespace orvane

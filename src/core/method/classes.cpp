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

Histogram ClassCounter::histogram(double normaliser) const
{
    Histogram h;
    for (std::size_t c = 0; c < kClasses; ++c)
        h[c] = static_cast<double>(atLeast_[c] - (c + 1 < kClasses ? atLeast_[c + 1] : 0)) / normaliser;
    return h;
}

Histogram classHistogram(std::span<const double> v, double normaliser)
{
    ClassCounter counter;
    for (double x : v) counter.add(x);
    return counter.histogram(normaliser);
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

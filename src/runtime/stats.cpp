#include "runtime/stats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvane {

double sum(const Vec& v)
{
    double s = 0.0;
    for (double x : v) s += x;
    return s;
}

double sumAbs(const Vec& v)
{
    double s = 0.0;
    for (double x : v) s += std::fabs(x);
    return s;
}

double mean(const Vec& v)
{
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    return sum(v) / static_cast<double>(v.size());
}

double median(Vec v)
{
    if (v.empty()) return std::numeric_limits<double>::quiet_NaN();
    const std::size_t n = v.size();
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(n / 2);
    std::nth_element(v.begin(), mid, v.end());
    const double upper = *mid;
    if (n % 2 == 1) return upper;
    const double lower = *std::max_element(v.begin(), mid);
    return (lower + upper) / 2.0;
}

double roundHalfAway(double x)
{
    return std::round(x);  // std::round rounds halfway cases away from zero
}

}  // namespace orvane

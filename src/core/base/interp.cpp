#include "base/interp.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace orvane {

Vec interp1Linear(const Vec& x, const Vec& y, const Vec& xq, OutsideRange outside)
{
    if (x.size() != y.size() || x.empty()) throw std::invalid_argument("interp1Linear: x and y must have the same non-zero length");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::size_t m = x.size();
    Vec out(xq.size());
    std::size_t j = 0;  // segment [x[j], x[j+1]] of the previous query
    for (std::size_t q = 0; q < xq.size(); ++q) {
        const double v = xq[q];
        if (v < x.front() || v > x.back() || !(v == v)) {
            if (outside == OutsideRange::EndValue && v == v)
                out[q] = v < x.front() ? y.front() : y.back();
            else
                out[q] = nan;
            continue;
        }
        if (m == 1) {
            out[q] = y[0];
            continue;
        }
        // Walk forward from the last segment; fall back to a search when going backwards.
        if (v < x[j]) j = static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), v) - x.begin()) - 1;
        while (j + 2 < m && v >= x[j + 1]) ++j;
        if (j + 1 >= m) j = m - 2;
        if (v == x[j]) {
            out[q] = y[j];
        } else if (v == x[j + 1]) {
            out[q] = y[j + 1];
        } else {
            const double t = (v - x[j]) / (x[j + 1] - x[j]);
            out[q] = y[j] + t * (y[j + 1] - y[j]);
        }
    }
    return out;
}

std::size_t findUnusableAbscissa(const Vec& x)
{
    for (std::size_t j = 1; j < x.size(); ++j) {
        if (x[j] < x[j - 1]) return j;
        if (j + 1 == x.size() && x[j] == x[j - 1]) return j;
    }
    return static_cast<std::size_t>(-1);
}

}  // namespace orvane

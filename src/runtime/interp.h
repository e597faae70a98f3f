// One-dimensional linear interpolation.
#pragma once

#include "runtime/types.h"

namespace orvane {

// What a query point outside [x.front(), x.back()] gets.
enum class OutsideRange {
    NotANumber,  // the runtime's usual rule: no extrapolation
    EndValue,    // the nearer end value (for points outside only through rounding)
};

// y interpolated linearly at the points xq. x must be strictly increasing, the same length
// as y, with at least one point. The queries may come in any order; increasing queries
// take a linear walk, others a binary search.
Vec interp1Linear(const Vec& x, const Vec& y, const Vec& xq, OutsideRange outside = OutsideRange::NotANumber);

}  // namespace orvane

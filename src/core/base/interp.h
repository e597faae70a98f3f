// One-dimensional linear interpolation.
#pragma once

#include "base/types.h"

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

// Where a set's abscissae cannot be used: the 0-based index of the first sample that
// decreases, or that repeats the one before as the last sample. npos when usable.
// (A repeat among the earlier samples is left to the grid check, which reports it.)
std::size_t findUnusableAbscissa(const Vec& x);

}  // namespace orvane

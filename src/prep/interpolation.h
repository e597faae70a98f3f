// Common-axis interpolation and the average set.
#pragma once

#include "app/dialogs.h"
#include "runtime/types.h"

#include <cstddef>

namespace orvane {

// Default largest grid: 2^22 points (a set of 9 kept results is then ~3 GB).
inline constexpr std::size_t kDefaultMaxGridPoints = std::size_t{1} << 22;

struct Interpolated {
    SetList Mdata;  // one resampled column per set; empty when there is no usable grid
    Vec Mfreq;      // the common abscissa (veti3)
    bool empty() const { return Mdata.empty(); }
};

// Where a set's abscissae cannot be used: the 0-based index of the first sample that
// decreases, or that repeats the one before as the last sample. npos when usable.
// (A repeat among the earlier samples is left to the grid check, which reports it.)
std::size_t findUnusableAbscissa(const Vec& x);

// Resamples the sets (ordinates Md, abscissae Mf, n sets) onto a uniform grid over the
// common range with the finest spacing found. When the sets share no usable range, shows
// the "Check x-Range" question and returns an empty result. A grid of more than
// maxGridPoints points, a one-point grid, or unusable abscissae fail with an Error.
Interpolated Interpolation(const SetList& Md, const SetList& Mf, std::size_t n, Dialogs& dialogs,
                           std::size_t maxGridPoints = kDefaultMaxGridPoints);

// Element-wise mean of the first n resampled sets, each of length L.
Vec Av(const SetList& Mdata, std::size_t L, std::size_t n);

}  // namespace orvane

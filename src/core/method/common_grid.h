// Common-axis interpolation and the average set.
#pragma once

#include "base/error.h"
#include "base/types.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

// Default largest grid: 2^22 points (a set of 9 kept results is then ~3 GB).
inline constexpr std::size_t kDefaultMaxGridPoints = std::size_t{1} << 22;

// The sets share no range long enough for a grid. what() is the message the user sees;
// reason() says which sets and samples (1-based) are at fault, for a front end that can
// name their files.
class NoCommonRangeError : public Error {
public:
    struct Sample {
        std::size_t set = 0, sample = 0;  // both 1-based
    };
    NoCommonRangeError(std::string reason, std::vector<Sample> samples)
        : Error("Error Data Input: Check x-Range of the data sets"), reason_(std::move(reason)),
          samples_(std::move(samples))
    {
    }
    const std::string& reason() const { return reason_; }
    const std::vector<Sample>& samples() const { return samples_; }

private:
    std::string reason_;
    std::vector<Sample> samples_;
};

// How the common grid is spaced: at the finest spacing of the inputs (the default), or a
// chosen number of points spaced evenly or logarithmically over the common range.
enum class GridKind { Finest, Uniform, Logarithmic };

struct GridChoice {
    GridKind kind = GridKind::Finest;
    std::size_t points = 0;  // for Uniform and Logarithmic: 2 or more
};

// "finest", "uniform", "logarithmic".
const char* gridKindName(GridKind kind);

// The finest-spacing grid would exceed the point limit; a uniform or logarithmic grid of
// fewer points is the way out, which a front end may name with its own option.
class GridTooLargeError : public Error {
public:
    using Error::Error;
};

struct CommonGrid {
    SetList resampled;  // one resampled column per set; empty when there is no usable grid
    Vec abscissa;      // the common abscissa (veti3)
    bool empty() const { return resampled.empty(); }
};

// Resamples the sets (ordinates Md, abscissae Mf, n sets) onto a grid over the common range:
// by default uniform with the finest spacing found, else as `choice` asks. Every grid takes
// its values from the same linear interpolation in x. When the sets share no usable range, throws
// NoCommonRangeError (the analysis then asks its "Check x-Range" question). A grid of more than
// maxGridPoints points, a one-point grid, or unusable abscissae fail with an Error.
// `beforeAllocating`, when given, is told the grid's point count once every check passed and
// before any memory for the grid is taken; it may throw to stop. A logarithmic grid over a
// range that is not positive fails with an Error.
CommonGrid resampleOntoCommonGrid(const SetList& Md, const SetList& Mf, std::size_t n,
                                  std::size_t maxGridPoints = kDefaultMaxGridPoints,
                                  const std::function<void(std::size_t)>& beforeAllocating = {},
                                  GridChoice choice = {});


// Element-wise mean of the first n resampled sets, each of length L.
Vec averageSet(const SetList& resampled, std::size_t L, std::size_t n);

}  // namespace orvane

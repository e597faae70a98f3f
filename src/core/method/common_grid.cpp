#include "method/common_grid.h"

#include "base/error.h"
#include "base/interp.h"
#include "base/parallel.h"
#include "base/text.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvane {

namespace {

std::string range(const Vec& x) { return "[" + num2str(x.front()) + ", " + num2str(x.back()) + "]"; }

std::string setName(std::size_t i) { return "data set " + std::to_string(i + 1); }

}  // namespace

const char* gridKindName(GridKind kind)
{
    switch (kind) {
    case GridKind::Uniform: return "uniform";
    case GridKind::Logarithmic: return "logarithmic";
    case GridKind::Finest: break;
    }
    return "finest";
}

namespace {

// The chosen number of points over [lower, upper]: evenly spaced, or in a constant ratio.
Vec chosenAbscissa(const GridChoice& choice, double lower, double upper, std::size_t maxGridPoints)
{
    const std::size_t L = choice.points;
    const char* kind = gridKindName(choice.kind);
    if (L < 2) throw Error(std::string("A ") + kind + " grid needs 2 or more points; " + std::to_string(L) + " were asked for.");
    if (L > maxGridPoints)
        throw Error(std::string("A ") + kind + " grid of " + std::to_string(L) + " points is more than the limit of " +
                    std::to_string(maxGridPoints) + " points.");
    if (choice.kind == GridKind::Logarithmic && !(lower > 0))
        throw Error("A logarithmic grid needs a positive range, but the common range of the data sets is [" +
                    num2str(lower) + ", " + num2str(upper) + "]; choose a uniform grid instead.");
    Vec x(L);
    const double last = static_cast<double>(L - 1);
    if (choice.kind == GridKind::Uniform) {
        for (std::size_t k = 0; k < L; ++k) x[k] = lower + (upper - lower) * (static_cast<double>(k) / last);
    } else {
        const double ratio = upper / lower;
        for (std::size_t k = 0; k < L; ++k) x[k] = lower * std::pow(ratio, static_cast<double>(k) / last);
    }
    // The ends exactly, whatever the rounding of the powers.
    x.front() = lower;
    x.back() = upper;
    return x;
}

}  // namespace

CommonGrid resampleOntoCommonGrid(const SetList& Md, const SetList& Mf, std::size_t n, std::size_t maxGridPoints,
                                  const std::function<void(std::size_t)>& beforeAllocating, GridChoice choice)
{
    if (n == 0 || Md.size() < n || Mf.size() < n) throw std::invalid_argument("Interpolation: fewer sets than n");
    const bool finest = choice.kind == GridKind::Finest;

    // Range and finest spacing of every set. The spacing looks at the first m-1 samples only.
    double Fupper = 0, Flower = 0;
    std::size_t upperSet = 0, lowerSet = 0;     // whose ends bound the common range
    std::size_t deltaSet = 0, deltaSample = 0;  // where the finest spacing lies
    std::optional<double> delta;
    for (std::size_t i = 0; i < n; ++i) {
        const Vec& x = Mf[i];
        if (x.empty() || x.size() != Md[i].size())
            throw Error("Data set " + std::to_string(i + 1) + " has no samples or unequal columns.");
        if (std::size_t bad = findUnusableAbscissa(x); bad != static_cast<std::size_t>(-1))
            throw Error("Data set " + std::to_string(i + 1) + ": the abscissa at sample " + std::to_string(bad + 1) +
                        (x[bad] < x[bad - 1] ? " decreases." : " repeats the previous one."));
        const double last = x.back(), first = x.front();
        if (i == 0 || last < Fupper) Fupper = last, upperSet = i;
        if (i == 0 || first > Flower) Flower = first, lowerSet = i;
        for (std::size_t j = 1; j + 1 < x.size(); ++j) {
            const double d = std::fabs(x[j] - x[j - 1]);
            if (!delta || d < *delta) delta = d, deltaSet = i, deltaSample = j;
        }
    }
    if (!delta && finest)
        throw Error("No data set has three or more samples, so the grid step cannot be measured.");
    // A repeated abscissa has no single value to interpolate, whatever the grid.
    if (delta && *delta <= 0)
        throw NoCommonRangeError(setName(deltaSet) + " repeats the abscissa " + num2str(Mf[deltaSet][deltaSample]) +
                                     " at samples " + std::to_string(deltaSample) + " and " +
                                     std::to_string(deltaSample + 1) + ": the grid spacing would be 0",
                                 {{deltaSet + 1, deltaSample}, {deltaSet + 1, deltaSample + 1}});
    if (Flower > Fupper)
        throw NoCommonRangeError(setName(lowerSet) + " covers " + range(Mf[lowerSet]) + " and " + setName(upperSet) +
                                     " covers " + range(Mf[upperSet]) + ": they do not overlap",
                                 {{lowerSet + 1, 1}, {upperSet + 1, Mf[upperSet].size()}});
    const auto touching = [&] {
        return NoCommonRangeError(setName(lowerSet) + " covers " + range(Mf[lowerSet]) + " and " + setName(upperSet) +
                                      " covers " + range(Mf[upperSet]) + ": they only touch at " + num2str(Flower),
                                  {{lowerSet + 1, 1}, {upperSet + 1, Mf[upperSet].size()}});
    };

    CommonGrid out;
    if (finest) {
        const double steps = std::ceil((Fupper - Flower) / *delta);
        if (steps <= 0) throw touching();
        if (steps > static_cast<double>(maxGridPoints))
            throw GridTooLargeError("The common grid would need " + num2str(steps) + " points (more than the limit of " +
                                    std::to_string(maxGridPoints) + "): the finest spacing " + num2str(*delta) +
                                    " over the common range [" + num2str(Flower) + ", " + num2str(Fupper) +
                                    "]. A uniform or logarithmic grid of fewer points avoids this.");
        const auto L = static_cast<std::size_t>(steps);
        if (L < 2)
            throw Error("The common range [" + num2str(Flower) + ", " + num2str(Fupper) +
                        "] is not longer than the finest spacing " + num2str(*delta) + ": the grid would have one point.");
        if (beforeAllocating) beforeAllocating(L);
        out.abscissa.resize(L);
        const double span = Fupper - Flower;
        const double last = static_cast<double>(L - 1);
        for (std::size_t k = 0; k < L; ++k) out.abscissa[k] = Flower + span * (static_cast<double>(k) / last);
    } else {
        if (!(Flower < Fupper)) throw touching();
        out.abscissa = chosenAbscissa(choice, Flower, Fupper, maxGridPoints);
        if (beforeAllocating) beforeAllocating(out.abscissa.size());
    }

    // Grid points lie in every set's range; one that falls outside only through rounding
    // takes the set's end value instead of becoming not-a-number.
    const std::size_t L = out.abscissa.size();
    out.resampled.resize(n);
    parallelFor(n, L, [&](std::size_t i) { out.resampled[i] = interp1Linear(Mf[i], Md[i], out.abscissa, OutsideRange::EndValue); });
    return out;
}

Vec averageSet(const SetList& resampled, std::size_t L, std::size_t n)
{
    Vec avg(L, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const Vec& s = resampled.at(i);
        if (s.size() != L) throw std::invalid_argument("Av: set length differs from L");
        for (std::size_t j = 0; j < L; ++j) avg[j] += s[j];
    }
    const double count = static_cast<double>(n);
    for (double& v : avg) v /= count;
    return avg;
}

}  // namespace orvane

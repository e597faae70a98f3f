#include "method/grade_spread.h"

#include "base/text.h"

#include <algorithm>
#include <numeric>

namespace orvane {

namespace {

constexpr const char* kGradeRange[kClasses] = {"E   ", "E-VG", "E-G ", "E-F ", "E-P ", "E-EP"};
constexpr const char* kClassShort[kClasses] = {"E ", "VG", "G ", "F ", "P ", "EP"};

// True while fractions[from …] still hold a point.
bool anyLeft(const double* fractions, std::size_t from)
{
    for (std::size_t c = from; c < kClasses; ++c)
        if (fractions[c] > 0) return true;
    return false;
}

// Number of entries of `fractions`, taken in order, whose running sum first exceeds thr.
std::size_t classesToExceed(double thr, const double* fractions)
{
    double ss = 0;
    std::size_t q = 0;
    while (q < kClasses && (q == 0 || (ss <= thr && anyLeft(fractions, q)))) {
        ss += fractions[q];
        ++q;
    }
    return q;
}

}  // namespace

GradeRecord gradeOf(double thr, const Histogram& h)
{
    const std::size_t count = classesToExceed(thr, h.data());
    return {static_cast<double>(count), kGradeRange[count - 1]};
}

GradeRecord spreadOf(double thr, const Histogram& h)
{
    // Stable ascending sort on the fraction, then reversed: equal fractions end up with the
    // higher class first.
    std::array<std::size_t, kClasses> order;
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return h[a] < h[b]; });
    std::reverse(order.begin(), order.end());
    Histogram sorted;
    for (std::size_t r = 0; r < kClasses; ++r) sorted[r] = h[order[r]];

    const std::size_t count = classesToExceed(thr, sorted.data());
    const auto [lo, hi] = std::minmax_element(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count));
    return {static_cast<double>(count), strcatTrimmed({kClassShort[*lo], "-", kClassShort[*hi]})};
}

GradeSpread gradesAndSpreads(double thr, const HistogramList& histograms)
{
    GradeSpread out;
    out.Grade.reserve(histograms.size());
    out.Spread.reserve(histograms.size());
    for (const Histogram& h : histograms) {
        out.Grade.push_back(gradeOf(thr, h));
        out.Spread.push_back(spreadOf(thr, h));
    }
    return out;
}

}  // namespace orvane

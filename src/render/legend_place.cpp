#include "render/legend_place.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace orvane {

namespace {

struct Range {
    double lo = std::numeric_limits<double>::infinity(), hi = -std::numeric_limits<double>::infinity();
};

// The range the renderer shows: the explicit limits, else the data span.
Range shownRange(const std::optional<std::array<double, 2>>& limits, const Axes& ax, bool x)
{
    Range r;
    if (limits && std::isfinite((*limits)[0]) && std::isfinite((*limits)[1])) {
        r.lo = std::min((*limits)[0], (*limits)[1]);
        r.hi = std::max((*limits)[0], (*limits)[1]);
        return r;
    }
    for (const Line& line : ax.lines)
        for (double v : x ? line.x : line.y)
            if (std::isfinite(v)) {
                r.lo = std::min(r.lo, v);
                r.hi = std::max(r.hi, v);
            }
    return r;
}

}  // namespace

Qt::Alignment bestLegendCorner(const Figure& fig)
{
    const Axes& ax = fig.axes;
    const Qt::Alignment corners[4] = {Qt::AlignTop | Qt::AlignRight, Qt::AlignTop | Qt::AlignLeft,
                                      Qt::AlignBottom | Qt::AlignRight, Qt::AlignBottom | Qt::AlignLeft};
    const Range xr = shownRange(ax.xLimits, ax, true), yr = shownRange(ax.yLimits, ax, false);
    if (ax.legend.empty() || !(xr.lo < xr.hi) || !(yr.lo < yr.hi)) return corners[0];

    // The legend's share of the axes: about a third of the width, a line per entry.
    const double w = 0.35, h = std::min(0.9, 0.06 * static_cast<double>(ax.legend.size()) + 0.04);
    std::array<std::size_t, 4> hidden{};
    for (const Line& line : ax.lines) {
        const std::size_t n = std::min(line.x.size(), line.y.size());
        for (std::size_t i = 0; i < n; ++i) {
            const double u = (line.x[i] - xr.lo) / (xr.hi - xr.lo), v = (line.y[i] - yr.lo) / (yr.hi - yr.lo);
            if (!(u >= 0 && u <= 1 && v >= 0 && v <= 1)) continue;
            const bool right = u >= 1 - w, left = u <= w, top = v >= 1 - h, bottom = v <= h;
            hidden[0] += top && right;
            hidden[1] += top && left;
            hidden[2] += bottom && right;
            hidden[3] += bottom && left;
        }
    }
    return corners[std::min_element(hidden.begin(), hidden.end()) - hidden.begin()];
}

}  // namespace orvane

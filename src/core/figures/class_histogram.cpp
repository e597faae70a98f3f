#include "figures/class_histogram.h"

#include "method/classes.h"

namespace orvane {

Line classCircles(std::span<const double> classes, std::span<const double> fractions, const std::string& style)
{
    Line circles = styledLine(classes, fractions, style);
    circles.markerSize = 10;
    circles.markerFace = circles.colour;
    return circles;
}

void classHistogramAxes(Axes& ax, double top, const std::vector<std::string>& names)
{
    for (std::size_t k = 0; k < kClasses && k < names.size(); ++k)
        ax.texts.push_back({static_cast<double>(k + 1), top / 16, names[k], Rgb{1, 0.8, 0.5}, 14, 90});
    ax.xLimits = std::array<double, 2>{1, static_cast<double>(kClasses)};
    ax.yLimits = std::array<double, 2>{0, top + top / 4};
    ax.xLabel = "classes";
    ax.yLabel = "Amplitude";
}

}  // namespace orvane

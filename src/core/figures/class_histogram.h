// What every confidence-histogram figure shares, whether the analysis saves it or the results
// window shows it: filled circles over the six classes, the class names standing in the plot,
// the axes' range and labels.
#pragma once

#include "figures/figure.h"

#include <span>
#include <string>
#include <vector>

namespace orvane {

// The class fractions of one set as filled circles of size 10 over classes 1 … 6.
Line classCircles(std::span<const double> classes, std::span<const double> fractions, const std::string& style);

// The class names (rotated, at a sixteenth of `top`), x from class 1 to 6, y from 0 to a
// quarter above `top`, and the axis labels.
void classHistogramAxes(Axes& ax, double top, const std::vector<std::string>& names);

}  // namespace orvane

// A figure drawn as an SVG element, without any window system: for pages that must show
// the figures with nothing but the page itself (the analysis report).
#pragma once

#include "figures/axis_ticks.h"
#include "figures/figure.h"

#include <string>

namespace orvane {

struct SvgStyle {
    double width = 640, height = 360;  // in CSS pixels; the element scales with its box
    bool logX = false;                 // logarithmic abscissa (only positive abscissae are drawn)
    std::string xUnit, yUnit;          // units of the tick labels ("Hz", "s"); empty: none
    std::vector<Tick> xTicks;          // the abscissa's ticks as given; empty: round steps
    bool legend = true;                // the axes' legend in the upper right corner
    // Makes the element's internal ids unique on a page that holds several figures.
    std::string idPrefix = "fig";
};

// The figure as one <svg> element: zones, grid, lines, markers, texts, title, axis labels,
// ticks and legend. Every text is escaped; "_{…}" becomes a subscript. A line with more
// points than the plot has pixels is reduced to the smallest and largest value of each
// pixel column, which draws the same picture.
std::string svgOfFigure(const Figure& figure, const SvgStyle& style);

}  // namespace orvane

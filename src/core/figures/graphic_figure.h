// The figures of the plot helper: line, comparison and histogram plots as descriptions.
#pragma once

#include "figures/graphic.h"
#include "figures/figure.h"

namespace orvane {

// The figure the plot helper draws for one call. D labels the abscissa: 1 "Time",
// 0 "Frequency", anything else "Samples".
Figure graphicFigure(const GraphicCall& call, int D);

// The abscissa label of a domain D: 1 "Time", 0 "Frequency", anything else "Samples".
const char* abscissaLabel(int D);

}  // namespace orvane

// The automatic best position of a legend: the corner of the axes that it hides least data in.
#pragma once

#include "figures/figure.h"

#include <Qt>

namespace orvane {

// The inset corner for the legend of fig: the one whose legend-sized box holds the fewest
// points of its lines, top right first when several are equally free.
Qt::Alignment bestLegendCorner(const Figure& fig);

}  // namespace orvane

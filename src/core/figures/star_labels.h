// Where the labels of a colour code chart's stars go when the chart is drawn.
#pragma once

#include "figures/figure.h"

namespace orvane {

// Stars of several measures or data sets often share a point, or stand one grid step apart,
// and their labels would print over each other or leave the plane. Each label takes the
// nearest free place beside its star: on the star's line to the right, then lines above and
// below, then further columns, the left side last; never over another label or a star, and
// always inside the plane. Applied to what is drawn (the window, a picture); a figure file
// keeps the labels where the chart builder put them.
void separateStarLabels(Axes& chart);

}  // namespace orvane

// The colour code chart window: stored charts per data set and measure, new thresholds,
// chart export.
#pragma once

namespace orvane {

// ColorCodeChart(): opens the chart window from the results window (which it replaces on
// screen until the user goes back). Pictures of browsed results go into the browsed folder.
void ColorCodeChart();

void registerChartWindowCallbacks();

}  // namespace orvane

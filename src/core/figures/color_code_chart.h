// The FSV colour code chart: four zones on the spread/grade plane, one star per measure.
#pragma once

#include "figures/chart_request.h"
#include "figures/figure.h"

#include <array>
#include <optional>

namespace orvane {

// Paints the zones into the axes, each later one over the earlier: red 6.5 × 6.5,
// yellow 4.5 × 5.5, white 3.5 × 4.5, blue 2.5 × 2.5 (spread × grade, from the origin).
void paintChartZones(Axes& axes);

struct ChartFigure {
    Figure figure;
    std::string namefile;  // the saved file's name without extension; empty: not saved
    bool unknownForm = false;  // an argument count no form has: the caller warns "Error !!!!"
};

// The chart of one data set's measures (the analysis's forms: 5, 6, 9 and 12 arguments).
// Any other argument count gives a chart with its axis labels only, marked unknownForm and
// not saved.
ChartFigure colourCodeChart(const ChartRequest& request);

// The chart of selected data sets (the chart window's forms: 4, 7 and 10 arguments): per
// measure a spread and a grade for each data set 1 … 8, and which data sets are shown.
struct SelectionMeasure {
    Vec spreads, grades;
    std::string name;  // "ADM", "FDM" or "GDM"
};
struct SelectionChartRequest {
    std::string thrs;
    std::vector<SelectionMeasure> measures;  // one, two or three
    std::array<bool, 8> shown{};
};
Figure colourCodeChart(const SelectionChartRequest& request);

}  // namespace orvane

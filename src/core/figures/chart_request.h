// A colour code chart of the analysis, described by the arguments of the chart builder: one,
// two or three measures of a data set on the grade/spread plane at a threshold.
#pragma once

#include <string>
#include <vector>

namespace orvane {

struct ChartSeries {
    double spread = 0;
    double grade = 0;
    std::string name;  // "ADM_1", "GDM_3", …
};

struct ChartRequest {
    std::string thrs;                  // threshold text, also the chart folder's name
    std::vector<ChartSeries> series;   // one, two or three measures
    std::vector<double> weights;       // {weight of the one measure} or {Kadm, Kfdm}
    // Number of arguments of the builder's call: 5, 6, 9 or 12 for the analysis's charts.
    std::size_t argumentCount() const { return 1 + 3 * series.size() + weights.size(); }
};

}  // namespace orvane

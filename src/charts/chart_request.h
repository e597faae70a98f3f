// The seam through which the analysis hands over its colour code charts.
//
// A chart places one, two or three measures of a data set on the grade/spread plane at a
// threshold. The analysis describes each chart with the arguments of the chart builder
// and passes it to a ChartSink, which draws and saves it; without a sink nothing is drawn.
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

class ChartSink {
public:
    virtual ~ChartSink() = default;
    virtual void chart(const ChartRequest& request) = 0;
};

}  // namespace orvane

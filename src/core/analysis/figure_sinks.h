// The seams through which the analysis hands over its figures and charts.
//
// The analysis describes each figure (figures/graphic.h) and chart (figures/chart_request.h)
// and passes it to a sink; what draws and saves it (figure files, an off-screen renderer, a
// window, a test's recorder) is up to the sink. Without a sink nothing is drawn.
#pragma once

#include "figures/chart_request.h"
#include "figures/figure.h"
#include "figures/graphic.h"

#include <string>

namespace orvane {

class GraphicSink {
public:
    virtual ~GraphicSink() = default;
    // Called synchronously: the spans are valid only during the call.
    virtual void graphic(const GraphicCall& call) = 0;
};

// What the per-set plots of an analysis need to know.
struct PlotContext {
    int T = 1;                          // 1 magnitude (and every time-domain) analysis, 2 phase
    std::string S_MARKER = "rbgycmbkk"; // colour letter per data set
    GraphicSink* sink = nullptr;        // no sink: no figures

    bool drawing() const { return sink != nullptr && (T == 1 || T == 2); }
    // " magnitude" for T = 1, " phase" for T = 2.
    const char* titleSuffix() const { return T == 2 ? " phase" : " magnitude"; }
    // The line style of set k (1-based) among n sets plus the average.
    static const char* lineStyle(std::size_t k, std::size_t nPlusOne) { return k == nPlusOne ? "k:" : "r:"; }
    char colourOf(std::size_t k) const { return colourLetter(S_MARKER, k); }
};

class ChartSink {
public:
    virtual ~ChartSink() = default;
    virtual void chart(const ChartRequest& request) = 0;
};

}  // namespace orvane

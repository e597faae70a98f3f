// The seam through which the computation hands over its figures.
//
// The method draws one figure per low part, high part, point-by-point measure and
// histogram. The computation describes each figure with the arguments of the plot helper
// and passes it to a GraphicSink; what draws and saves it (an off-screen renderer, a
// window, a test's recorder) is up to the sink. Without a sink nothing is drawn.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace orvane {

enum class GraphicMode {
    Line,        // y over x with a line style ("r:", "k:"); the fourth argument "0"
    Histogram,   // six class fractions as filled circles in a colour letter
    Comparison,  // two ordinates over one abscissa, red and blue solid lines
};

struct GraphicCall {
    GraphicMode mode = GraphicMode::Line;
    std::span<const double> x;       // abscissa; 1 … 6 for histograms
    std::span<const double> y;       // ordinate
    std::span<const double> y2;      // second ordinate (comparison mode only)
    std::string title;               // also the name of the saved figure
    std::string style;               // line mode: line style
    char colour = 'b';               // histogram mode: the set's colour letter
    std::vector<double> extras;      // histogram mode: total, mean class, class-scale total
                                     // (and for the GDM the two weights): accepted, not drawn
};

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
    char colourOf(std::size_t k) const { return k >= 1 && k <= S_MARKER.size() ? S_MARKER[k - 1] : 'k'; }
};

}  // namespace orvane

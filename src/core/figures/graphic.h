// A figure of the analysis described by the arguments of the plot helper: one per low part,
// high part, point-by-point measure and histogram. graphicFigure() builds the figure.
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

}  // namespace orvane

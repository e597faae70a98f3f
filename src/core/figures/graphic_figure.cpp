#include "figures/graphic_figure.h"

#include "figures/class_histogram.h"
#include "method/classes.h"

#include <algorithm>

namespace orvane {

namespace {


double maxOf(std::span<const double> v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

}  // namespace

Figure graphicFigure(const GraphicCall& call, int D)
{
    Figure fig;
    fig.name = call.title;
    Axes& ax = fig.axes;
    ax.title = call.title;

    if (call.mode == GraphicMode::Histogram) {
        ax.lines.push_back(classCircles(call.x, call.y, std::string(1, call.colour) + "o"));
        ax.yGrid = true;
        ax.gridStyle = "-";
        ax.gridWidth = 1;
        classHistogramAxes(ax, maxOf(call.y), std::vector<std::string>(kClassNames.begin(), kClassNames.end()));
        return fig;
    }

    if (call.mode == GraphicMode::Line) {
        ax.lines.push_back(styledLine(call.x, call.y, call.style));
        ax.legend.assign(kClassLabels.begin(), kClassLabels.end());
    } else {
        ax.lines.push_back(styledLine(call.x, call.y, "-r"));
        ax.lines.push_back(styledLine(call.x, call.y2, "-b"));
        ax.legend = {"Data1", "Data2"};
    }
    ax.xLabel = abscissaLabel(D);
    ax.yLabel = "Intensity";
    return fig;  // no limits: tight to the data
}

const char* abscissaLabel(int D)
{
    if (D == 0) return "Frequency";
    if (D == 1) return "Time";
    return "Samples";
}

}  // namespace orvane

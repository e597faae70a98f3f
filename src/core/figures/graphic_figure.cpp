#include "figures/graphic_figure.h"

#include "method/classes.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr const char* kClassNames[kClasses] = {"Excellent", "Very Good", "Good", "Fair", "Poor", "Extremely Poor"};


Line lineOf(std::span<const double> x, std::span<const double> y, const std::string& style)
{
    Line line;
    line.x.assign(x.begin(), x.end());
    line.y.assign(y.begin(), y.end());
    applyStyle(line, style);
    return line;
}

double maxOf(std::span<const double> v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

}  // namespace

Figure graphicFigure(const GraphicCall& call, int D)
{
    Figure fig;
    fig.name = call.title;
    Axes& ax = fig.axes;
    ax.title = call.title;

    if (call.mode == GraphicMode::Histogram) {
        Line circles = lineOf(call.x, call.y, std::string(1, call.colour) + "o");
        circles.markerSize = 10;
        circles.markerFace = circles.colour;
        ax.lines.push_back(std::move(circles));
        ax.yGrid = true;
        ax.gridStyle = "-";
        ax.gridWidth = 1;
        const double top = maxOf(call.y);
        for (std::size_t k = 0; k < kClasses; ++k)
            ax.texts.push_back({static_cast<double>(k + 1), top / 16, kClassNames[k], Rgb{1, 0.8, 0.5}, 14, 90});
        ax.xLimits = std::array<double, 2>{1, maxOf(call.x)};
        ax.yLimits = std::array<double, 2>{0, top + top / 4};
        ax.xLabel = "classes";
        ax.yLabel = "Amplitude";
        return fig;
    }

    if (call.mode == GraphicMode::Line) {
        ax.lines.push_back(lineOf(call.x, call.y, call.style));
        ax.legend.assign(kClassLabels.begin(), kClassLabels.end());
    } else {
        ax.lines.push_back(lineOf(call.x, call.y, "-r"));
        ax.lines.push_back(lineOf(call.x, call.y2, "-b"));
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

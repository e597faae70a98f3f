#include "figures/result_figures.h"

#include "figures/graphic_figure.h"

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

constexpr const char* kClassNames[kClasses] = {"Excellent", "Very Good", "Good", "Fair", "Poor", "Extremely Poor"};

Line lineOf(const Vec& x, const Vec& y, const std::string& style)
{
    Line line;
    const std::size_t n = std::min(x.size(), y.size());
    line.x.assign(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n));
    line.y.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n));
    applyStyle(line, style);
    return line;
}

// Sets beyond the list are skipped: a selector may still be on from a folder with more sets.
SetNumbers present(const SetNumbers& sets, std::size_t entries)
{
    SetNumbers out;
    for (std::size_t k : sets)
        if (k >= 1 && k <= entries) out.push_back(k);
    return out;
}

double finiteMax(const Histogram& h)
{
    double top = -INFINITY;
    for (double v : h)
        if (std::isfinite(v)) top = std::max(top, v);
    return std::isfinite(top) ? top : 0;
}

}  // namespace

std::vector<std::string> legendRows(const SetNumbers& sets, bool average)
{
    std::vector<std::string> rows;
    for (std::size_t k : sets) rows.push_back("Dataset" + std::to_string(k));
    if (average) rows.push_back("Average ");
    return rows;
}

std::vector<std::string> classNameLabels()
{
    std::vector<std::string> names;
    for (const char* n : kClassNames) {
        std::string s = n;
        s.resize(std::max<std::size_t>(s.size(), 14), ' ');
        names.push_back(s);
    }
    return names;
}

std::vector<std::string> classLegendLines()
{
    return {"   Class:       Range: ", "EXCELLENT --> (0.0,0.1]", "VERY GOOD --> (0.1,0.2]",
            "GOOD --> (0.2,0.4]",      "FAIR --> (0.4,0.8]",      "POOR --> (0.8,1.6]",
            "EXTREMELY POOR --> (1.6,inf)"};
}

Figure pointByPointFigure(const std::string& variable, const Vec& abscissa, const SetList& curves,
                          const SetNumbers& sets, const std::string& S_MARKER, int T, int D)
{
    Figure fig;
    Axes& ax = fig.axes;
    const SetNumbers drawn = present(sets, curves.size());
    for (std::size_t k : drawn)
        ax.lines.push_back(lineOf(abscissa, curves[k - 1], std::string("-.") + colourLetter(S_MARKER, k)));
    ax.legend = legendRows(drawn, false);
    ax.xGrid = ax.yGrid = true;
    ax.yLabel = "Intensity";
    if (T == 2) {
        ax.xLabel = "Frequency";
        ax.title = variable + " Phase";
    } else {
        ax.xLabel = abscissaLabel(D);
        ax.title = variable + " Magnitude";
    }
    fig.name = ax.title;
    return fig;  // no limits: tight to the data
}

Figure histogramFigure(const std::string& variable, const HistogramList& histograms, const SetNumbers& sets,
                       const std::string& S_MARKER, int T)
{
    Figure fig;
    Axes& ax = fig.axes;
    Vec x(kClasses);
    for (std::size_t i = 0; i < kClasses; ++i) x[i] = static_cast<double>(i + 1);
    const SetNumbers drawn = present(sets, histograms.size());
    for (std::size_t k : drawn) {
        const Histogram& h = histograms[k - 1];
        const char letter = colourLetter(S_MARKER, k);
        Line circles = lineOf(x, Vec(h.begin(), h.end()), std::string("o") + letter);
        circles.markerSize = 10;
        circles.markerFace = circles.colour;
        ax.lines.push_back(std::move(circles));
    }
    ax.legend = legendRows(drawn, false);
    ax.xGrid = ax.yGrid = true;
    ax.gridStyle = ":";
    ax.gridWidth = 0.5;

    // The scale covers every drawn set: a point above it would be off the chart. With no
    // set drawn, set 1 gives the empty axes a scale.
    double top = 0;
    for (std::size_t k : drawn) top = std::max(top, finiteMax(histograms[k - 1]));
    if (drawn.empty() && !histograms.empty()) top = finiteMax(histograms.front());
    const std::vector<std::string> names = classNameLabels();
    for (std::size_t i = 0; i < kClasses; ++i)
        ax.texts.push_back({x[i], top / 16, names[i], Rgb{1, 0.8, 0.5}, 14, 90});
    ax.xLimits = std::array<double, 2>{1, x.back()};
    ax.yLimits = std::array<double, 2>{0, top + top / 4};
    ax.xLabel = "classes";
    ax.yLabel = "Amplitude";
    ax.title = T == 2 ? variable + " Phase" : T == 1 ? variable + " Magnitude" : variable;
    fig.name = ax.title;
    return fig;
}

Figure originalDataFigure(const Vec& abscissa, const SetList& resampled, const SetNumbers& sets,
                          const std::string& S_MARKER, int D, std::size_t reference)
{
    Figure fig;
    Axes& ax = fig.axes;
    const std::size_t average = resampled.size();  // the last entry
    const SetNumbers drawn = present(sets, average == 0 ? 0 : average - 1);
    for (std::size_t k : drawn)
        ax.lines.push_back(lineOf(abscissa, resampled[k - 1], std::string("-") + colourLetter(S_MARKER, k)));
    if (average > 0) ax.lines.push_back(lineOf(abscissa, resampled.back(), ".-k"));
    ax.legend = legendRows(drawn, average > 0);
    if (average > 0 && reference > 0) ax.legend.back() = "Reference (Dataset" + std::to_string(reference) + ")";
    ax.yLabel = "Intensity";
    ax.title = "Original Dataset";
    ax.xLabel = abscissaLabel(D);
    fig.name = ax.title;
    return fig;
}

}  // namespace orvane

#include "figures/result_figures.h"

#include "figures/class_histogram.h"
#include "figures/graphic_figure.h"

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {


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
        ax.lines.push_back(styledLine(abscissa, curves[k - 1], std::string("-.") + colourLetter(S_MARKER, k)));
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
        ax.lines.push_back(classCircles(x, h, std::string("o") + letter));
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
    classHistogramAxes(ax, top, classNameLabels());
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
        ax.lines.push_back(styledLine(abscissa, resampled[k - 1], std::string("-") + colourLetter(S_MARKER, k)));
    if (average > 0) ax.lines.push_back(styledLine(abscissa, resampled.back(), ".-k"));
    ax.legend = legendRows(drawn, average > 0);
    if (average > 0 && reference > 0) ax.legend.back() = "Reference (Dataset" + std::to_string(reference) + ")";
    ax.yLabel = "Intensity";
    ax.title = "Original Dataset";
    ax.xLabel = abscissaLabel(D);
    fig.name = ax.title;
    return fig;
}

}  // namespace orvane

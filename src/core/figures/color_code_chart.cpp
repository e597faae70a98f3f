#include "figures/color_code_chart.h"

#include "base/text.h"

namespace orvane {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kStarColours[3] = {{0, 0, 0}, {0, 1, 1}, {1, 0, 1}};  // black, cyan, magenta

struct Zone {
    double width, height;
    Rgb colour;
};
constexpr Zone kZones[4] = {{6.5, 6.5, {1, 0, 0}}, {4.5, 5.5, {1, 1, 0}}, {3.5, 4.5, {1, 1, 1}}, {2.5, 2.5, {0, 0, 1}}};

void addStar(Axes& ax, double spread, double grade, const std::string& label, Rgb colour)
{
    Line star;
    star.x = {spread};
    star.y = {grade};
    applyStyle(star, "*");
    star.colour = colour;
    star.markerSize = 20;
    ax.lines.push_back(std::move(star));
    ax.texts.push_back({spread + 0.2, grade, label, kBlack, 14, 0});
}

void labelAxes(Axes& ax, const std::string& title)
{
    ax.xLabel = "SPREAD";
    ax.yLabel = "GRADE";
    ax.title = title;
    ax.xGrid = ax.yGrid = false;
    ax.xLimits.reset();  // tight to what is drawn
    ax.yLimits.reset();
}

std::string plainTitle(const std::string& thrs)
{
    return strcatTrimmed({"FSV COLOR CODE CHART", " - ", " threshold = ", thrs});
}

std::string weightedTitle(const std::string& thrs, double Kadm, double Kfdm)
{
    return strcatTrimmed({"FSV COLOR CODE CHART", " - ", " threshold = ", thrs, "%", " - ", " K_{adm} = ",
                          num2str(Kadm), ";", " K_{fdm} = ", num2str(Kfdm)});
}

}  // namespace

void paintChartZones(Axes& ax)
{
    for (const Zone& z : kZones)
        ax.polygons.push_back({{0, z.width, z.width, 0}, {z.height, z.height, 0, 0}, z.colour, z.colour});
    ax.xGrid = ax.yGrid = false;
}

ChartFigure colourCodeChart(const ChartRequest& r)
{
    ChartFigure out;
    Axes& ax = out.figure.axes;
    paintChartZones(ax);
    const std::size_t count = r.argumentCount();
    const bool known = (count == 5 && r.series.size() == 1) || (count == 6 && r.series.size() == 1) ||
                       (count == 9 && r.series.size() == 2) || (count == 12 && r.series.size() == 3);
    if (!known) {
        out.unknownForm = true;
        labelAxes(ax, "");
        return out;
    }
    for (std::size_t m = 0; m < r.series.size(); ++m)
        addStar(ax, r.series[m].spread, r.series[m].grade, r.series[m].name, kStarColours[m]);

    std::string name = "FsvColorCodeChart";
    for (const ChartSeries& s : r.series) name = strcatTrimmed({name, s.name, "_"});
    out.namefile = strcatTrimmed({name, r.thrs});
    const std::string title =
        count == 5 ? plainTitle(r.thrs) : weightedTitle(r.thrs, r.weights.at(0), r.weights.at(1));
    labelAxes(ax, title);
    out.figure.name = out.namefile;
    return out;
}

Figure colourCodeChart(const SelectionChartRequest& r)
{
    Figure fig;
    Axes& ax = fig.axes;
    paintChartZones(ax);
    for (std::size_t k = 0; k < r.shown.size(); ++k) {
        if (!r.shown[k]) continue;
        for (const SelectionMeasure& m : r.measures)
            if (k < m.spreads.size() && k < m.grades.size())
                addStar(ax, m.spreads[k], m.grades[k], m.name + "_" + std::to_string(k + 1), kBlack);
    }
    labelAxes(ax, plainTitle(r.thrs));
    fig.name = ax.title;
    return fig;
}

}  // namespace orvane

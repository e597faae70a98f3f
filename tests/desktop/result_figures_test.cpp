// The results window's figures as descriptions: legends, titles, colours and ranges.
#include "render/legend_place.h"
#include "figures/result_figures.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

HistogramList histograms(std::size_t n)
{
    HistogramList h;
    for (std::size_t k = 0; k < n; ++k) {
        Histogram one{};
        one[k % kClasses] = 0.2 + 0.1 * static_cast<double>(k);  // set k peaks in its own class
        one[(k + 1) % kClasses] = 0.1;
        h.push_back(one);
    }
    return h;
}

TEST(ResultsFigures, LegendNamesTheChosenSetsInEightCharacterRows)
{
    const auto rows = legendRows({2, 5}, true);
    EXPECT_EQ(rows, (std::vector<std::string>{"Dataset2", "Dataset5", "Average "}));
    for (const auto& r : rows) EXPECT_EQ(r.size(), 8u);
    EXPECT_EQ(legendRows({2, 5}, false).size(), 2u);
}

TEST(ResultsFigures, CurvesTakeTheColourLetterOfTheirSetAndSkipSetsTheFileLacks)
{
    const Vec x{1, 2, 3};
    const SetList curves{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};  // three sets and the average
    const Figure f = pointByPointFigure("ADMi", x, curves, {2, 3, 7}, "rbg", 1, 1);
    ASSERT_EQ(f.axes.lines.size(), 2u);  // set 7 is not in the file
    EXPECT_EQ(f.axes.lines[0].y, curves[1]);
    EXPECT_EQ(f.axes.lines[0].style, "-.b");
    EXPECT_EQ(f.axes.lines[0].lineStyle, "-.");
    EXPECT_EQ(f.axes.lines[1].colour, (Rgb{0, 1, 0}));
    EXPECT_EQ(f.axes.legend, (std::vector<std::string>{"Dataset2", "Dataset3"}));
    // S_MARKER shorter than the sets, or a letter that names no colour: black.
    EXPECT_EQ(colourLetter("rb", 3), 'k');
    EXPECT_EQ(colourLetter("r?", 2), 'k');
    EXPECT_FALSE(f.axes.xLimits.has_value());  // tight to the data
}

TEST(ResultsFigures, TitlesAndLabelsFollowTheAnalysisKind)
{
    const Vec x{1, 2};
    const SetList c{{1, 2}, {2, 3}, {3, 4}};
    const auto pbp = [&](int T, int D) { return pointByPointFigure("FDMi", x, c, {1}, "rb", T, D).axes; };
    EXPECT_EQ(pbp(2, 1).title, "FDMi Phase");
    EXPECT_EQ(pbp(2, 1).xLabel, "Frequency");  // phase exists only in the frequency domain
    EXPECT_EQ(pbp(1, 1).title, "FDMi Magnitude");
    EXPECT_EQ(pbp(1, 1).xLabel, "Time");
    EXPECT_EQ(pbp(0, 0).title, "FDMi Magnitude");  // browsed: magnitude whatever the file
    EXPECT_EQ(pbp(0, 0).xLabel, "Frequency");
    EXPECT_EQ(pbp(0, 0).yLabel, "Intensity");

    const HistogramList h = histograms(3);
    EXPECT_EQ(histogramFigure("GDMc", h, {1}, "rb", 2).axes.title, "GDMc Phase");
    EXPECT_EQ(histogramFigure("GDMc", h, {1}, "rb", 1).axes.title, "GDMc Magnitude");
    EXPECT_EQ(histogramFigure("GDMc", h, {1}, "rb", 0).axes.title, "GDMc");
}

TEST(ResultsFigures, HistogramScaleCoversEveryChosenSet)
{
    const HistogramList h = histograms(4);  // set 1 peaks at 0.2, set 3 at 0.4, set 4 at 0.5
    // Set 4 alone, or with set 1 (lower): its peak stays inside the chart.
    for (const SetNumbers& chosen : {SetNumbers{4}, SetNumbers{1, 4}}) {
        const Axes wide = histogramFigure("ADMc", h, chosen, "rbgy", 1).axes;
        ASSERT_TRUE(wide.yLimits);
        EXPECT_DOUBLE_EQ((*wide.yLimits)[1], 0.5 + 0.5 / 4);
    }
    // Nothing chosen: set 1 still gives the axes a scale.
    EXPECT_DOUBLE_EQ((*histogramFigure("ADMc", h, {}, "rbgy", 1).axes.yLimits)[1], 0.2 + 0.2 / 4);

    const Axes ax = histogramFigure("ADMc", h, {3}, "rbgy", 1).axes;
    ASSERT_EQ(ax.lines.size(), 1u);
    EXPECT_EQ(ax.lines[0].y, Vec(h[2].begin(), h[2].end()));
    EXPECT_EQ(ax.lines[0].marker, "o");
    EXPECT_EQ(ax.lines[0].lineStyle, "none");
    EXPECT_EQ(ax.lines[0].markerFace, (Rgb{0, 1, 0}));
    EXPECT_DOUBLE_EQ(ax.lines[0].markerSize, 10);
    ASSERT_TRUE(ax.yLimits && ax.xLimits);
    EXPECT_DOUBLE_EQ((*ax.yLimits)[0], 0);
    EXPECT_DOUBLE_EQ((*ax.yLimits)[1], 0.4 + 0.4 / 4);
    EXPECT_EQ(*ax.xLimits, (std::array<double, 2>{1, 6}));
    ASSERT_EQ(ax.texts.size(), kClasses);
    EXPECT_EQ(ax.texts[5].text, "Extremely Poor");
    EXPECT_EQ(ax.texts[2].text, "Good" + std::string(10, ' '));  // padded like the other class names
    EXPECT_DOUBLE_EQ(ax.texts[2].y, 0.4 / 16);
    EXPECT_DOUBLE_EQ(ax.texts[2].rotation, 90);
    EXPECT_EQ(ax.gridStyle, ":");
}

TEST(ResultsFigures, OriginalDataEndsWithTheAverageAsBlackPointsAndLine)
{
    const Vec x{0, 1};
    const SetList m{{1, 1}, {2, 2}, {3, 3}};  // two sets and their average
    const Axes ax = originalDataFigure(x, m, {2}, "rb", 0).axes;
    ASSERT_EQ(ax.lines.size(), 2u);
    EXPECT_EQ(ax.lines[0].style, "-b");
    EXPECT_EQ(ax.lines[1].y, m[2]);
    EXPECT_EQ(ax.lines[1].style, ".-k");
    EXPECT_EQ(ax.legend, (std::vector<std::string>{"Dataset2", "Average "}));
    EXPECT_EQ(ax.title, "Original Dataset");
    EXPECT_EQ(ax.xLabel, "Frequency");
    // With set 1 as the reference, the last curve is that set and is named so.
    EXPECT_EQ(originalDataFigure(x, m, {2}, "rb", 0, 1).axes.legend,
              (std::vector<std::string>{"Dataset2", "Reference (Dataset1)"}));
}

TEST(ResultsFigures, LegendGoesToTheCornerWithTheLeastData)
{
    Figure f;
    f.axes.legend = {"Dataset1"};
    Line rising;  // a diagonal from lower left to upper right leaves the other two corners free
    for (int i = 0; i <= 100; ++i) {
        rising.x.push_back(i);
        rising.y.push_back(i);
    }
    f.axes.lines.push_back(rising);
    EXPECT_EQ(bestLegendCorner(f), Qt::AlignTop | Qt::AlignLeft);
    for (double& y : f.axes.lines[0].y) y = 100 - y;  // falling: top right is free
    EXPECT_EQ(bestLegendCorner(f), Qt::AlignTop | Qt::AlignRight);
    f.axes.lines[0].y.assign(101, 99.0);  // flat along the top, limits below it
    f.axes.yLimits = std::array<double, 2>{0, 100};
    EXPECT_EQ(bestLegendCorner(f) & Qt::AlignBottom, Qt::AlignBottom);
}

}  // namespace
}  // namespace orvane

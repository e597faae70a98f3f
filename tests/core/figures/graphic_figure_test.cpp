#include "figures/graphic_figure.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(GraphicFigure, HistogramOfClassFractions)
{
    const double classes[] = {1, 2, 3, 4, 5, 6};
    const double h[] = {0.5, 0.25, 0.25, 0, 0, 0};
    GraphicCall call;
    call.mode = GraphicMode::Histogram;
    call.x = classes;
    call.y = h;
    call.title = "ADMc_1 magnitude";
    call.colour = 'b';
    const Figure fig = graphicFigure(call, 1);
    const Axes& ax = fig.axes;
    ASSERT_EQ(ax.lines.size(), 1u);
    const Line& circles = ax.lines[0];
    EXPECT_EQ(circles.marker, "o");
    EXPECT_EQ(circles.lineStyle, "none");
    EXPECT_EQ(circles.colour, (Rgb{0, 0, 1}));
    EXPECT_EQ(circles.markerFace, (Rgb{0, 0, 1}));
    EXPECT_EQ(circles.markerSize, 10);
    EXPECT_EQ(circles.y, (Vec{0.5, 0.25, 0.25, 0, 0, 0}));
    ASSERT_EQ(ax.texts.size(), 6u);
    EXPECT_EQ(ax.texts[5].text, "Extremely Poor");
    EXPECT_EQ(ax.texts[2].x, 3);
    EXPECT_EQ(ax.texts[2].y, 0.5 / 16);
    EXPECT_EQ(ax.texts[2].rotation, 90);
    EXPECT_EQ(ax.texts[2].fontSize, 14);
    EXPECT_EQ(ax.texts[2].colour, (Rgb{1, 0.8, 0.5}));
    EXPECT_EQ(ax.xLimits, (std::array<double, 2>{1, 6}));
    EXPECT_EQ(ax.yLimits, (std::array<double, 2>{0, 0.625}));
    EXPECT_TRUE(ax.yGrid);
    EXPECT_FALSE(ax.xGrid);
    EXPECT_EQ(ax.xLabel, "classes");
    EXPECT_EQ(ax.yLabel, "Amplitude");
    EXPECT_EQ(ax.title, "ADMc_1 magnitude");
    EXPECT_EQ(fig.name, "ADMc_1 magnitude");
}

TEST(GraphicFigure, LinePlotLabelsItsAbscissaByDomain)
{
    const double x[] = {1, 2, 3}, y[] = {0.1, 0.5, 2};
    GraphicCall call;
    call.x = x;
    call.y = y;
    call.title = "Low Data_2 phase";
    call.style = "k:";
    const char* labels[] = {"Frequency", "Time", "Samples"};
    for (int D : {0, 1, -1}) {
        const Figure fig = graphicFigure(call, D);
        EXPECT_EQ(fig.axes.xLabel, labels[D == 0 ? 0 : D == 1 ? 1 : 2]);
        EXPECT_EQ(fig.axes.yLabel, "Intensity");
    }
    const Figure fig = graphicFigure(call, 0);
    ASSERT_EQ(fig.axes.lines.size(), 1u);
    EXPECT_EQ(fig.axes.lines[0].colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(fig.axes.lines[0].lineStyle, ":");
    EXPECT_EQ(fig.axes.legend.size(), 6u);  // more entries than lines
    EXPECT_EQ(fig.axes.legend[0], "Excellent (0,0.1]");
    EXPECT_FALSE(fig.axes.xLimits);  // tight
}

TEST(GraphicFigure, ComparisonDrawsRedAndBlueSolidLines)
{
    const double x[] = {1, 2}, y[] = {3, 4}, y2[] = {5, 6};
    GraphicCall call;
    call.mode = GraphicMode::Comparison;
    call.x = x;
    call.y = y;
    call.y2 = y2;
    const Figure fig = graphicFigure(call, 1);
    ASSERT_EQ(fig.axes.lines.size(), 2u);
    EXPECT_EQ(fig.axes.lines[0].colour, (Rgb{1, 0, 0}));
    EXPECT_EQ(fig.axes.lines[1].colour, (Rgb{0, 0, 1}));
    EXPECT_EQ(fig.axes.lines[1].y, (Vec{5, 6}));
    EXPECT_EQ(fig.axes.legend, (std::vector<std::string>{"Data1", "Data2"}));
}

TEST(LineStyle, StyleTextsOfThePlots)
{
    Line l;
    applyStyle(l, ".-k");
    EXPECT_EQ(l.colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(l.lineStyle, "-");
    EXPECT_EQ(l.marker, ".");
    applyStyle(l, "-.");
    EXPECT_EQ(l.lineStyle, "-.");
    EXPECT_EQ(l.marker, "none");
    applyStyle(l, "-r");
    EXPECT_EQ(l.colour, (Rgb{1, 0, 0}));
    EXPECT_EQ(l.lineStyle, "-");
    applyStyle(l, "o");
    EXPECT_EQ(l.lineStyle, "none");
    EXPECT_EQ(l.marker, "o");
    EXPECT_FALSE(colourOfLetter('q'));
    EXPECT_EQ(colourOfLetter('y'), (Rgb{1, 1, 0}));
}

}  // namespace
}  // namespace orvane

#include "figures/color_code_chart.h"
#include "support/recording.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(FSV_CCC, ZonesArePaintedRedYellowWhiteBlue)
{
    Axes ax;
    paintChartZones(ax);
    ASSERT_EQ(ax.polygons.size(), 4u);
    const Rgb colours[] = {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {0, 0, 1}};
    const double widths[] = {6.5, 4.5, 3.5, 2.5}, heights[] = {6.5, 5.5, 4.5, 2.5};
    for (std::size_t z = 0; z < 4; ++z) {
        EXPECT_EQ(ax.polygons[z].face, colours[z]);
        EXPECT_EQ(ax.polygons[z].edge, colours[z]);
        EXPECT_EQ(ax.polygons[z].x, (Vec{0, widths[z], widths[z], 0}));
        EXPECT_EQ(ax.polygons[z].y, (Vec{heights[z], heights[z], 0, 0}));
    }
}

TEST(FSV_CCC, SingleSeriesNamesTitlesAndStars)
{
    const ChartFigure gdm = colourCodeChart({"85", {{2, 3, "GDM_1"}}, {0.5, 0.5}});
    EXPECT_EQ(gdm.namefile, "FsvColorCodeChartGDM_1_85");
    EXPECT_EQ(gdm.figure.axes.title, "FSV COLOR CODE CHART - threshold =85% - K_{adm} =0.5; K_{fdm} =0.5");
    ASSERT_EQ(gdm.figure.axes.lines.size(), 1u);
    EXPECT_EQ(gdm.figure.axes.lines[0].x, (Vec{2}));
    EXPECT_EQ(gdm.figure.axes.lines[0].y, (Vec{3}));
    EXPECT_EQ(gdm.figure.axes.lines[0].marker, "*");
    EXPECT_EQ(gdm.figure.axes.lines[0].markerSize, 20);
    ASSERT_EQ(gdm.figure.axes.texts.size(), 1u);
    EXPECT_EQ(gdm.figure.axes.texts[0].x, 2.2);
    EXPECT_EQ(gdm.figure.axes.texts[0].text, "GDM_1");
    EXPECT_EQ(gdm.figure.axes.xLabel, "SPREAD");
    EXPECT_EQ(gdm.figure.axes.yLabel, "GRADE");

    const ChartFigure adm = colourCodeChart({"85", {{1, 1, "ADM_3"}}, {1}});
    EXPECT_EQ(adm.namefile, "FsvColorCodeChartADM_3_85");
    EXPECT_EQ(adm.figure.axes.title, "FSV COLOR CODE CHART - threshold =85");

    const ChartFigure two = colourCodeChart({"85", {{2, 2, "ADM_2"}, {3, 4, "FDM_2"}}, {1, 0.75}});
    EXPECT_EQ(two.namefile, "FsvColorCodeChartADM_2_FDM_2_85");
    EXPECT_EQ(two.figure.axes.lines[1].colour, (Rgb{0, 1, 1}));  // second measure cyan

    const ChartFigure three =
        colourCodeChart({"70", {{1, 1, "ADM_1"}, {2, 2, "FDM_1"}, {3, 3, "GDM_1"}}, {1, 0.33333333}});
    EXPECT_EQ(three.namefile, "FsvColorCodeChartADM_1_FDM_1_GDM_1_70");
    EXPECT_EQ(three.figure.axes.lines[2].colour, (Rgb{1, 0, 1}));  // third magenta
    EXPECT_EQ(three.figure.axes.title, "FSV COLOR CODE CHART - threshold =70% - K_{adm} =1; K_{fdm} =0.33333");
    EXPECT_FALSE(gdm.unknownForm || adm.unknownForm || two.unknownForm || three.unknownForm);
}

TEST(FSV_CCC, AnyOtherArgumentCountWarnsAndDrawsNoStar)
{
    const ChartFigure bad = colourCodeChart({"85", {{1, 1, "ADM_1"}, {2, 2, "FDM_1"}}, {1}});  // 8 arguments
    EXPECT_TRUE(bad.unknownForm);  // the caller warns "Error !!!!"
    EXPECT_TRUE(bad.namefile.empty());
    EXPECT_TRUE(bad.figure.axes.lines.empty());
    EXPECT_EQ(bad.figure.axes.title, "");
    EXPECT_EQ(bad.figure.axes.xLabel, "SPREAD");
}

TEST(FSV_CCC, SelectedDataSetsGetOneBlackStarPerMeasure)
{
    SelectionChartRequest r;
    r.thrs = "85";
    r.measures = {{{1, 2, 3, 4, 5, 6, 1, 1}, {2, 2, 2, 2, 2, 2, 2, 2}, "ADM"},
                  {{3, 3, 3, 3, 3, 3, 3, 3}, {1, 2, 3, 4, 5, 6, 1, 1}, "FDM"}};
    r.shown = {true, false, true, false, false, false, false, false};
    const Figure fig = colourCodeChart(r);
    ASSERT_EQ(fig.axes.texts.size(), 4u);
    EXPECT_EQ(fig.axes.texts[0].text, "ADM_1");
    EXPECT_EQ(fig.axes.texts[1].text, "FDM_1");
    EXPECT_EQ(fig.axes.texts[2].text, "ADM_3");
    EXPECT_EQ(fig.axes.texts[3].text, "FDM_3");
    EXPECT_EQ(fig.axes.texts[3].x, 3.2);  // beside its own measure's star
    EXPECT_EQ(fig.axes.texts[3].y, 3);
    for (const Line& star : fig.axes.lines) EXPECT_EQ(star.colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(fig.axes.title, "FSV COLOR CODE CHART - threshold =85");
}

}  // namespace
}  // namespace orvane

#include "figures/axis_ticks.h"
#include "figures/svg_figure.h"

#include <gtest/gtest.h>


namespace orvane {
namespace {

std::vector<std::string> labels(const std::vector<Tick>& ticks)
{
    std::vector<std::string> out;
    for (const Tick& t : ticks) out.push_back(t.label);
    return out;
}

TEST(AxisTicks, EngineeringLabelsAndDecades)
{
    EXPECT_EQ(engineeringLabel(2.5e6, "Hz"), "2.5 MHz");
    EXPECT_EQ(engineeringLabel(999.99996e6, "Hz"), "1 GHz");  // rounded before the prefix is chosen
    EXPECT_EQ(engineeringLabel(1e-8, "s"), "10 ns");
    EXPECT_EQ(engineeringLabel(1.5e-6, "s"), "1.5 \xC2\xB5s");
    EXPECT_EQ(engineeringLabel(-0.002, "s"), "-2 ms");
    EXPECT_EQ(engineeringLabel(0, "Hz"), "0");
    EXPECT_EQ(engineeringLabel(0.25, ""), "0.25");
    EXPECT_EQ(labels(logTicks(1e6, 1e9, "Hz")), (std::vector<std::string>{"1 MHz", "10 MHz", "100 MHz", "1 GHz"}));
    EXPECT_EQ(labels(logTicks(3e3, 4e4, "Hz")), (std::vector<std::string>{"5 kHz", "10 kHz", "20 kHz"}));
    EXPECT_EQ(labels(linearTicks(-0.1, 1.05, "")), (std::vector<std::string>{"0", "0.2", "0.4", "0.6", "0.8", "1"}));
    EXPECT_TRUE(spansDecades(1e6, 1.01e8));
    EXPECT_FALSE(spansDecades(1e6, 1e8));
    EXPECT_FALSE(spansDecades(0, 1e8));
}

// A million-point curve is drawn with a few points per pixel column, and its one-sample
// spike still reaches the top of the plot.
TEST(SvgFigure, LongCurvesKeepTheirExtremesAndTextsStayText)
{
    Figure fig;
    Line line;
    for (int i = 0; i < 1000000; ++i) line.x.push_back(i), line.y.push_back(i == 654321 ? 1.0 : 0.5);
    fig.axes.lines.push_back(line);
    fig.axes.yLimits = std::array<double, 2>{0, 1};
    fig.axes.title = "K_{adm} <script>&";
    SvgStyle style;
    style.idPrefix = "one";
    const std::string svg = svgOfFigure(fig, style);

    // The points of the polyline (found by hand: a regular expression over thousands of
    // points overflows the stack of a sanitized build).
    const std::size_t polyline = svg.find("<polyline");
    ASSERT_NE(polyline, std::string::npos);
    const std::size_t from = svg.find("points=\"", polyline);
    ASSERT_NE(from, std::string::npos);
    const std::size_t to = svg.find('"', from + 8);
    ASSERT_NE(to, std::string::npos);
    const std::string p = svg.substr(from + 8, to - from - 8);
    const std::size_t count = static_cast<std::size_t>(std::count(p.begin(), p.end(), ' '));
    EXPECT_LT(count, 4000u);
    EXPECT_NE(p.find(",30 "), std::string::npos) << "the spike is lost";  // y = 1 is the plot's top edge
    EXPECT_NE(svg.find("K<tspan baseline-shift=\"sub\" font-size=\"75%\">adm</tspan> &lt;script&gt;&amp;"),
              std::string::npos);
    EXPECT_EQ(svg.find("<script"), std::string::npos);
    EXPECT_NE(svg.find("clipPath id=\"one-area\""), std::string::npos);
}

}  // namespace
}  // namespace orvane

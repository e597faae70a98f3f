#include "analysis/analysis.h"
#include "analysis/measure_figures.h"
#include "method/decomposition.h"
#include "method/fourier.h"
#include "support/recording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace orvane {
namespace {

SpectrumList randomSpectra(std::size_t L, std::size_t sets)
{
    std::mt19937 rng(5);
    std::normal_distribution<double> g;
    SetList data(sets, Vec(L));
    for (Vec& v : data)
        for (double& x : v) x = g(rng);
    return normalisedSpectra(data, Vec(L));
}

TEST(MeasureFigures, LowAndHighPartsPerSetInOrderAsMagnitudesOrAsThemselves)
{
    test::RecordingSink sink;
    PlotContext plots;
    plots.sink = &sink;
    const SpectrumList S = randomSpectra(64, 3);
    const Vec grid(64, 0.0);
    const Decomposition parts = splitLowHighDc(S, {12, 12, 12});
    drawLowHighParts(plots, grid, parts.lowParts, parts.highParts);
    ASSERT_EQ(sink.figures.size(), 6u);
    const char* titles[] = {"Low Data_1 magnitude", "High Data_1 magnitude", "Low Data_2 magnitude",
                            "High Data_2 magnitude", "Low Data_3 magnitude", "High Data_3 magnitude"};
    for (std::size_t f = 0; f < 6; ++f) {
        EXPECT_EQ(sink.figures[f].title, titles[f]);
        EXPECT_EQ(sink.figures[f].mode, GraphicMode::Line);
        EXPECT_EQ(sink.figures[f].style, f >= 4 ? "k:" : "r:");
    }
    EXPECT_EQ(sink.figures[0].y[3], std::fabs(parts.lowParts[0][3]));
    plots.T = 2;
    sink.figures.clear();
    drawLowHighParts(plots, grid, parts.lowParts, parts.highParts);
    EXPECT_EQ(sink.figures[1].title, "High Data_1 phase");
    EXPECT_EQ(sink.figures[1].y, parts.highParts[0]);
}

// The pipeline's measure figures in a phase analysis: curves with the set's line style,
// histograms in the set's colour with the undrawn extras, the GDM's with its two weights.
TEST(MeasureFigures, ThePipelineHandsOverCurvesAndHistogramsWithTheirExtras)
{
    SetList Md, Mf;
    for (int s = 0; s < 2; ++s) {
        Vec x, y;
        for (int j = 0; j < 200; ++j) {
            x.push_back(j);
            y.push_back(std::sin(j / 9.0 + s) + 0.1 * std::cos(j * (1.0 + s)));
        }
        Mf.push_back(x);
        Md.push_back(y);
    }
    test::ScriptedDialogs dialogs;
    test::RecordingSink sink;
    DialogsHost host(dialogs, &sink);
    const auto r = runAnalysis({.D = 0, .T = 2}, Md, Mf, host);
    ASSERT_TRUE(r);
    ASSERT_EQ(sink.figures.size(), 8u * 3);
    const auto& admCurve = sink.figures[6];
    const auto& admHistogram = sink.figures[7];
    EXPECT_EQ(admCurve.title, "ADMi_1 phase");
    EXPECT_EQ(admCurve.style, "r:");
    EXPECT_EQ(admCurve.y, r->adm.ADMi[0]);
    EXPECT_EQ(admHistogram.title, "ADMc_1 phase");
    EXPECT_EQ(admHistogram.mode, GraphicMode::Histogram);
    EXPECT_EQ(admHistogram.x, (Vec{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(admHistogram.colour, 'r');
    EXPECT_EQ(sink.figures[9].colour, 'b');
    EXPECT_EQ(sink.figures[10].style, "k:");  // the average's curve
    ASSERT_EQ(admHistogram.extras.size(), 3u);
    EXPECT_EQ(admHistogram.extras[0], r->adm.ADMtot[0]);
    const auto& gdmHistogram = sink.figures[19];
    EXPECT_EQ(gdmHistogram.title, "GDMc_1 phase");
    ASSERT_EQ(gdmHistogram.extras.size(), 5u);
    EXPECT_EQ(gdmHistogram.extras[3], r->Kadm[0]);
    EXPECT_EQ(gdmHistogram.extras[4], r->Kfdm[0]);
}

}  // namespace
}  // namespace orvane

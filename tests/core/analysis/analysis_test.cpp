#include "analysis/analysis.h"
#include "analysis/result_files.h"
#include "formats/data_set.h"
#include "support/recording.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <fstream>
#include <sstream>

namespace orvane {
namespace {

GradeList spreads(std::initializer_list<double> values)
{
    GradeList out;
    for (double v : values) out.push_back({v, ""});
    return out;
}

TEST(GdmWeights, RatioOfTheSpreadsGoesToTheLargerOnesWeight)
{
    Vec Kadm, Kfdm;
    gdmWeights(spreads({2, 4, 3}), spreads({4, 2, 3}), true, Kadm, Kfdm);
    EXPECT_EQ(Kadm, (Vec{1, 0.5, 1}));
    EXPECT_EQ(Kfdm, (Vec{0.5, 1, 1}));
    gdmWeights(spreads({2, 4, 3}), spreads({4, 2, 3}), false, Kadm, Kfdm);
    EXPECT_EQ(Kadm, (Vec{1, 1, 1}));
    EXPECT_EQ(Kfdm, (Vec{1, 1, 1}));
}

TEST(GdmWeights, QuestionAndAnswers)
{
    test::ScriptedDialogs dialogs;
    dialogs.answers = {"YES", "NO", ""};
    EXPECT_TRUE(askGdmWeighting(dialogs));
    EXPECT_FALSE(askGdmWeighting(dialogs));
    EXPECT_FALSE(askGdmWeighting(dialogs));  // closed
    const Question& q = dialogs.questions.at(0);
    EXPECT_EQ(q.message, "Do you want GDM weighting?");
    EXPECT_EQ(q.title, "Compute k_ADM & k_FDM");
    EXPECT_EQ(q.buttons, (std::vector<std::string>{"YES", "NO"}));
    EXPECT_EQ(q.defaultButton, "YES");
}

struct Loaded {
    SetList Md, Mf;
};

Loaded load(const std::vector<std::string>& paths)
{
    Loaded l;
    for (const auto& p : paths) {
        const DataSet set = readDataSet(p);
        l.Mf.push_back(set.abscissa);
        l.Md.push_back(set.ordinate);
    }
    return l;
}

const std::vector<std::string> kExamples = {ORVANE_EXAMPLES "/measured.txt", ORVANE_EXAMPLES "/simulation_a.txt",
                                            ORVANE_EXAMPLES "/simulation_b.txt"};

void expectFinite(const SetList& list, const char* name)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        for (double v : list[i]) ASSERT_TRUE(std::isfinite(v)) << name << " of set " << i + 1;
}

void expectSoundResult(const AnalysisResult& r)
{
    const std::size_t sets = r.N_DATA + 1;
    ASSERT_EQ(r.resampled.size(), sets);
    for (const SetList* list : {&r.resampled, &r.LowData, &r.HighData, &r.DC_data, &r.adm.ADMi, &r.fdm.FDMi, &r.gdm.GDMi})
        expectFinite(*list, "a per-set list");
    // The average set against itself.
    const std::size_t avg = r.N_DATA;
    for (const SetList* m : {&r.adm.ADMi, &r.fdm.FDMi, &r.gdm.GDMi})
        for (double v : (*m)[avg]) ASSERT_EQ(v, 0);
    const Histogram excellent{1, 0, 0, 0, 0, 0};
    EXPECT_EQ(r.adm.ADMc[avg], excellent);
    EXPECT_EQ(r.fdm.FDMc[avg], excellent);
    EXPECT_EQ(r.gdm.GDMc[avg], excellent);
    EXPECT_EQ(r.ADM.Spread[avg].range, "E-E");
    for (const HistogramList* list : {&r.adm.ADMc, &r.fdm.FDMc, &r.gdm.GDMc})
        for (const Histogram& h : *list) {
            double total = 0;
            for (double f : h) total += f;
            EXPECT_NEAR(total, 1, 1e-12);
        }
}

TEST(Analysis, ExamplesRunThroughEveryStage)
{
    const Loaded in = load(kExamples);
    test::ScriptedDialogs dialogs;
    test::RecordingSink sink;
    PlotContext plots;
    plots.sink = &sink;
    DialogsHost host(dialogs, plots.sink);
    const auto r = runAnalysis(AnalysisSettings{}, in.Md, in.Mf, host);
    ASSERT_TRUE(r);
    expectSoundResult(*r);
    EXPECT_EQ(r->N_DATA, 3u);
    EXPECT_EQ(r->abscissa.size(), 2500u);
    // The one question of the sequence, answered with its default "YES".
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].message, "Do you want GDM weighting?");
    for (std::size_t k = 0; k < 4; ++k) EXPECT_TRUE(r->Kadm[k] == 1 || r->Kfdm[k] == 1);
    // 8 figures per set: low and high parts, then two per measure.
    ASSERT_EQ(sink.figures.size(), 32u);
    EXPECT_EQ(sink.figures[0].title, "Low Data_1 magnitude");
    EXPECT_EQ(sink.figures[8].title, "ADMi_1 magnitude");
    EXPECT_EQ(sink.figures[16].title, "FDMi_1 magnitude");
    EXPECT_EQ(sink.figures[24].title, "GDMi_1 magnitude");
    EXPECT_EQ(sink.figures[31].title, "GDMc_4 magnitude");
    // The summaries agree with the measures.
    EXPECT_EQ(r->ParametersA[0][0], r->adm.ADMtot[0]);
    EXPECT_NEAR(r->parameters_means[0][1], r->fdm.FDMtot[0], 1e-12);
}

std::string rewriteWithSeparator(const std::string& path, const std::string& sep, const test::TempDir& dir,
                                 const std::string& name)
{
    std::ifstream in(path);
    std::ostringstream out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == '%') continue;
        const auto blank = line.find(' ');
        out << line.substr(0, blank) << sep << line.substr(blank + 1) << "\r\n";
    }
    return dir.write(name, out.str());
}

TEST(Analysis, ResultsDoNotDependOnTheColumnSeparator)
{
    const Loaded blanks = load(kExamples);
    test::ScriptedDialogs dialogs;
    DialogsHost host(dialogs);
    const auto reference = runAnalysis(AnalysisSettings{}, blanks.Md, blanks.Mf, host);
    ASSERT_TRUE(reference);
    test::TempDir dir;
    for (const std::string sep : {",", ";", "\t", " ,  "}) {
        std::vector<std::string> paths;
        for (std::size_t k = 0; k < kExamples.size(); ++k)
            paths.push_back(rewriteWithSeparator(kExamples[k], sep, dir, "set" + std::to_string(k) + ".csv"));
        const Loaded other = load(paths);
        DialogsHost host(dialogs);
        const auto r = runAnalysis(AnalysisSettings{}, other.Md, other.Mf, host);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->gdm.GDMi, reference->gdm.GDMi) << "separator '" << sep << "'";
        EXPECT_EQ(r->adm.ADMtot, reference->adm.ADMtot);
        EXPECT_EQ(r->GDM.Spread[1].range, reference->GDM.Spread[1].range);
    }
}

// Two sets whose grid has exactly L points: spacing 1 over [0, L].
Loaded syntheticSets(std::size_t L)
{
    Loaded l;
    for (int s = 0; s < 2; ++s) {
        Vec x, y;
        const double step = s == 0 ? 1.0 : 2.5;
        for (double v = 0; v <= static_cast<double>(L); v += step) {
            x.push_back(v);
            y.push_back(std::sin(v / 40.0 + s) * 10 + std::cos(v / 3.0) + 0.01 * v);
        }
        l.Mf.push_back(x);
        l.Md.push_back(y);
    }
    l.Mf[1].back() = static_cast<double>(L) + 7;  // set 1 ends the common range at L
    return l;
}

TEST(Analysis, PrimeAndOddGridLengths)
{
    for (std::size_t L : {10007u, 999u, 16u}) {
        const Loaded in = syntheticSets(L);
        test::ScriptedDialogs dialogs;
        dialogs.answers = {"NO"};
        DialogsHost host(dialogs);
        const auto r = runAnalysis({.thrs = "85", .maxGridPoints = 1u << 22}, in.Md, in.Mf, host);
        ASSERT_TRUE(r) << L;
        EXPECT_EQ(r->abscissa.size(), L);
        expectSoundResult(*r);
        EXPECT_EQ(r->Kadm, (Vec{1, 1, 1}));
    }
}

TEST(Analysis, NoCommonRangeIsToldToTheHostAndThrown)
{
    struct Host : DialogsHost {
        using DialogsHost::DialogsHost;
        void noCommonRange(const NoCommonRangeError& e) override { told.push_back(std::string(e.what()) + " / " + e.reason()); }
        std::vector<std::string> told;
    };
    test::ScriptedDialogs dialogs;
    Host host(dialogs);
    EXPECT_THROW(runAnalysis({}, {{1, 2, 3}, {1, 2, 3}}, {{0, 0.5, 1}, {2, 2.5, 3}}, host), NoCommonRangeError);
    EXPECT_EQ(host.told, (std::vector<std::string>{"Error Data Input: Check x-Range of the data sets / data set 2 "
                                                   "covers [2, 3] and data set 1 covers [0, 1]: they do not overlap"}));
    EXPECT_TRUE(dialogs.questions.empty());  // the weighting question is never reached
}

// The measures are ratios, but their sums overflow near the top of the double range: such
// data are refused before anything is written, never graded from NaN. Tiny data are fine.
TEST(Analysis, DataNearTheEndsOfTheDoubleRange)
{
    const Loaded in = load(kExamples);
    const auto scaled = [&](double factor) {
        SetList Md = in.Md;
        for (Vec& set : Md)
            for (double& v : set) v *= factor;
        return Md;
    };
    struct Host : DialogsHost {
        using DialogsHost::DialogsHost;
        std::optional<std::filesystem::path> outputFolder() override { return folder; }
        std::filesystem::path folder;
    };
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    Host host(dialogs);
    host.folder = dir.path();
    try {
        runAnalysis({.sourceNames = {"meas.txt", "sim_a.txt", "sim_b.txt"}}, scaled(1e306), in.Mf, host);
        ADD_FAILURE() << "data at 1e306 were analysed";
    } catch (const Error& e) {
        const std::string what = e.what();
        EXPECT_EQ(what.rfind("The data of ", 0), 0u) << what;  // names the file that reaches so far
        EXPECT_NE(what.find(".txt reach"), std::string::npos) << what;
        EXPECT_NE(what.find("e+307"), std::string::npos) << what;  // the largest value, 95.5·1e306
        EXPECT_NE(what.find("cannot be analysed"), std::string::npos) << what;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    test::ScriptedDialogs plainDialogs, tinyDialogs;
    DialogsHost plainHost(plainDialogs), tinyHost(tinyDialogs);
    const auto plain = runAnalysis({}, in.Md, in.Mf, plainHost);
    const auto tiny = runAnalysis({}, scaled(1e-306), in.Mf, tinyHost);
    ASSERT_TRUE(plain && tiny);
    expectSoundResult(*tiny);
    for (std::size_t k = 0; k < plain->ADM.Grade.size(); ++k)
        for (const auto& [a, b] : {std::pair(&plain->ADM, &tiny->ADM), std::pair(&plain->FDM, &tiny->FDM),
                                   std::pair(&plain->GDM, &tiny->GDM)}) {
            EXPECT_EQ(a->Grade[k].range, b->Grade[k].range) << k;
            EXPECT_NEAR(a->Grade[k].value, b->Grade[k].value, 1e-9) << k;
            EXPECT_NEAR(a->Spread[k].value, b->Spread[k].value, 1e-9) << k;
        }
}

TEST(Analysis, AGridBeyondTheMemoryIsRefusedBeforeItIsTaken)
{
    test::ScriptedDialogs dialogs;
    DialogsHost host(dialogs);
    // Spacing 1e-9 over [0, 100]: 1e11 points, some 27 TB; refused, not allocated.
    const SetList Mf{{0, 1e-9, 2e-9, 100}, {0, 50, 100}}, Md{{1, 2, 3, 4}, {1, 2, 3}};
    try {
        runAnalysis({.maxGridPoints = std::size_t{1} << 62, .sourceNames = {"tiny.txt", "wide.txt"}}, Md, Mf, host);
        FAIL() << "a 1e11-point grid was accepted";
    } catch (const Error& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("100000000000 points would need about"), std::string::npos) << what;
        EXPECT_NE(what.find("physical memory"), std::string::npos) << what;
    }
}

// A chosen grid is named in the analysis file and read back; the default grid leaves the file
// as it was, and warns when it is far denser than the data.
TEST(Analysis, GridKindInTheFileAndTheDenseGridWarning)
{
    struct Host : DialogsHost {
        using DialogsHost::DialogsHost;
        std::optional<std::filesystem::path> outputFolder() override { return folder; }
        void denseGrid(const DenseGrid& grid) override { told.push_back(grid); }
        std::filesystem::path folder;
        std::vector<DenseGrid> told;
    };
    // Three close samples at the start set the finest spacing 0.01 over [0, 60]: 6000 points
    // for sets of at most 63 samples.
    Vec dense{0, 0.01, 0.02}, even;
    for (int k = 1; k <= 60; ++k) dense.push_back(k);
    for (int k = 0; k <= 60; ++k) even.push_back(k);
    SetList Mf{dense, even}, Md;
    for (const Vec& x : Mf) {
        Vec y;
        for (double v : x) y.push_back(std::sin(v / 4) + 0.1 * v);
        Md.push_back(y);
    }
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    Host host(dialogs);
    host.folder = dir.path();

    const auto finest = runAnalysis({}, Md, Mf, host);
    ASSERT_TRUE(finest);
    ASSERT_EQ(host.told.size(), 1u);
    EXPECT_EQ(host.told[0].gridPoints, 6000u);
    EXPECT_EQ(host.told[0].largestSet, 63u);
    EXPECT_NE(host.told[0].message.find("6000 points, 95 times the 63 samples"), std::string::npos) << host.told[0].message;
    const std::filesystem::path finestFile = finest->folder / analysisFileName(1);
    EXPECT_FALSE(ResultFile(finestFile).has("GridKind"));
    EXPECT_EQ(loadAnalysisFile(finestFile).result.gridKind, "");

    const auto uniform = runAnalysis({.grid = GridKind::Uniform, .gridPoints = 101}, Md, Mf, host);
    ASSERT_TRUE(uniform);
    EXPECT_EQ(host.told.size(), 1u);  // a chosen grid draws no warning
    ASSERT_EQ(uniform->abscissa.size(), 101u);
    EXPECT_DOUBLE_EQ(uniform->abscissa[37], 0.6 * 37);
    expectSoundResult(*uniform);
    const LoadedAnalysis loaded = loadAnalysisFile(uniform->folder / analysisFileName(1));
    EXPECT_EQ(loaded.result.gridKind, "uniform");
    EXPECT_EQ(loaded.result.abscissa, uniform->abscissa);

    // No logarithmic grid over a range that starts at 0.
    try {
        runAnalysis({.grid = GridKind::Logarithmic, .gridPoints = 101}, Md, Mf, host);
        ADD_FAILURE() << "a logarithmic grid over [0, 60] was made";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("positive range, but the common range of the data sets is [0, 60]"),
                  std::string::npos) << e.what();
    }
}

TEST(Analysis, ThresholdText)
{
    EXPECT_DOUBLE_EQ(thresholdFraction("85"), 0.85);
    EXPECT_DOUBLE_EQ(thresholdFraction("85.5"), 0.855);
    EXPECT_TRUE(std::isnan(thresholdFraction("high")));
}

}  // namespace
}  // namespace orvane

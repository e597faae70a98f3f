#include "analysis/driver.h"
#include "analysis/output_folder.h"
#include "analysis/figure_files.h"
#include "figures/figure_file.h"
#include "base/error.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

namespace orvane {
namespace {

namespace fs = std::filesystem;

// Plays the user's part from a script and writes down everything the analysis does with
// it, one line per event, so that a run can be compared with the expected sequence.
class ScriptedUi : public DriverUi {
public:
    std::vector<std::string> log;
    std::vector<std::string> slots = std::vector<std::string>(kDataSlots);
    std::string folder;             // the folder chooser's answer; empty: cancelled
    int menuAnswer = 1;
    std::vector<std::string> answers;  // question answers in order; then the default button
    std::vector<std::pair<int, double>> bars;
    std::size_t reference = 0;  // the "Compare against" choice: 0 the average, k slot k

    std::string question(const Question& q) override
    {
        log.push_back("question " + q.message);
        if (!answers.empty()) {
            const std::string a = answers.front();
            answers.erase(answers.begin());
            return a;
        }
        return q.defaultButton;
    }
    void warning(const std::string& message, const std::string& title) override
    {
        log.push_back("warning " + title + " " + message);
    }
    void error(const std::string& message, const std::string&) override { log.push_back("error " + message); }
    int menu(const std::string& header, const std::vector<std::string>& items) override
    {
        log.push_back("menu [" + header + "] " + items.at(0) + "/" + items.at(1));
        return menuAnswer;
    }
    void loadData(Session& s) override
    {
        log.push_back("loadata");
        for (std::size_t k = 0; k < kDataSlots; ++k) s.dataset[k] = slots[k];
        s.reference = reference;
    }
    std::string chooseFolder(const std::string& prompt, const std::string&) override
    {
        log.push_back("folder " + prompt);
        return folder;
    }

    class RecordedProgress : public Progress {
    public:
        explicit RecordedProgress(ScriptedUi& ui) : ui_(ui) {}
        ~RecordedProgress() override { ui_.log.push_back("progress closed"); }
        void update(int bar, double v) override { ui_.bars.emplace_back(bar, v); }

    private:
        ScriptedUi& ui_;
    };
    std::unique_ptr<Progress> openProgress(const std::vector<std::string>& stages, const std::string& title) override
    {
        EXPECT_EQ(stages, kProgressStages);
        EXPECT_EQ(title, "Orvane ver. 1.0.0");
        log.push_back("progress opened");
        return std::make_unique<RecordedProgress>(*this);
    }
};

// A small data set on [0, 200] with its own wiggle; spacing `step`.
std::string writeSet(const test::TempDir& dir, const std::string& name, double step, double phase,
                     double from = 0, double to = 200)
{
    std::string text;
    for (double x = from; x <= to + 1e-9; x += step)
        text += std::to_string(x) + " " + std::to_string(10 + std::sin(x / 7 + phase) + 0.3 * std::cos(x * 1.3)) + "\n";
    return dir.write(name, text);
}

struct Fixture {
    test::TempDir data, out;
    ScriptedUi ui;
    Session s;
    Fixture()
    {
        ui.folder = out.path().string();
        s.startFolder = data.path().string();
    }
};

const std::vector<std::string> kNoQuestions{};

TEST(FsvMain, TimeDomainRunsThroughTheWholeSequence)
{
    Fixture f;
    f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0);
    f.ui.slots[1] = writeSet(f.data, "b.txt", 0.5, 0.3);
    AnalysisResult r;
    EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui, {}, &r), SessionOutcome::NoCommonRange);
    EXPECT_EQ(f.ui.log, (std::vector<std::string>{"loadata", "folder Select Folder for OUTPUT Data", "progress opened",
                                                  "progress closed", "question Do you want GDM weighting?",
                                                  "progress opened", "progress closed"}));
    EXPECT_EQ(f.s.T, 1);
    EXPECT_EQ(f.s.D, 1);
    EXPECT_EQ(f.s.N_DATA, 2u);
    EXPECT_EQ(f.s.analysisFolderName, "Time Domain Analysis");
    EXPECT_EQ(f.s.thrs, "85");
    EXPECT_EQ(r.abscissa.size(), 400u);

    // Bar b → v, in order, as the sequence gives them (N_DATA = 2).
    const double third = 1.0 / 3, quarter = 0.25;
    const std::vector<std::pair<int, double>> expected = {
        {1, 0.1}, {1, 0.3}, {1, 0.6}, {1, 1}, {2, 0.1}, {2, 0.1 + third}, {2, 0.1 + 2 * third}, {2, 1}, {3, 0.1},
        {3, 0.4}, {3, 0.7}, {3, 1},
        // second window
        {2, 0.1}, {2, 0.1 + quarter}, {2, 0.1 + 2 * quarter}, {2, 0.1 + 3 * quarter}, {2, 1}, {3, 0.1}, {3, 0.3},
        {3, 0.6}, {3, 1}, {2, 0.1}, {2, 0.1 + quarter / 2}, {2, 0.1 + quarter}, {2, 0.1 + 3 * quarter / 2},
        {2, 0.475 + quarter / 2}, {2, 0.475 + quarter}, {2, 0.475 + 3 * quarter / 2}, {2, 0.98}, {2, 1}};
    ASSERT_EQ(f.ui.bars.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(f.ui.bars[i].first, expected[i].first) << "update " << i;
        EXPECT_NEAR(f.ui.bars[i].second, expected[i].second, 1e-12) << "update " << i;
    }

    const fs::path folder = f.out.path() / "Time Domain Analysis";
    for (const char* name : {"MagnitudeAnalysis.mat", "LowData_av.txt", "LowData_1.txt", "LowData_2.txt",
                             "HighData_3.txt", "ADMi_3.txt", "FDMc_1.txt", "GDMi_2.txt", "ADM_1_average.txt",
                             "FDM_3_average.txt", "GDM_2_average.txt", "GreadSpread_85.txt", "85/GRADE_SPREAD.mat"})
        EXPECT_TRUE(fs::is_regular_file(folder / name)) << name;
    EXPECT_FALSE(fs::exists(folder / "LowData_3.txt"));  // the average's low part is LowData_av
    EXPECT_FALSE(fs::exists(folder / "PhaseAnalysis.mat"));
}

TEST(FsvMain, MagnitudeAndPhaseAskTheMenuAndPhaseChoosesTheFolderAfterTheGrid)
{
    for (int answer : {1, 2}) {
        Fixture f;
        f.ui.menuAnswer = answer;
        f.ui.answers = {"NO"};
        f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0);
        f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0.5);
        EXPECT_NE(runAnalysisSession(f.s, Domain::Frequency, f.ui), SessionOutcome::NoCommonRange);
        const std::string menu = "menu [              Analysis           ] Magnitude/Phase";
        const std::vector<std::string> magnitude{menu, "loadata", "folder Select Folder for OUTPUT Data",
                                                 "progress opened", "progress closed",
                                                 "question Do you want GDM weighting?", "progress opened",
                                                 "progress closed"};
        const std::vector<std::string> phase{menu, "loadata", "progress opened",
                                             "folder Select Folder for OUTPUT Data", "progress closed",
                                             "question Do you want GDM weighting?", "progress opened",
                                             "progress closed"};
        EXPECT_EQ(f.ui.log, answer == 1 ? magnitude : phase);
        EXPECT_EQ(f.s.T, answer);
        EXPECT_EQ(f.s.D, 0);
        const fs::path folder = f.out.path() / "Frequency Domain Analysis";
        EXPECT_TRUE(fs::exists(folder / (answer == 1 ? "MagnitudeAnalysis.mat" : "PhaseAnalysis.mat")));
    }
}

TEST(FsvMain, ClosedMenuStopsWithSelectionError)
{
    for (const std::string help : {"OK", "Help", ""}) {
        Fixture f;
        f.ui.menuAnswer = 0;
        f.ui.answers = {help};
        f.s.T = 7;  // left as it was
        EXPECT_NE(runAnalysisSession(f.s, Domain::Frequency, f.ui), SessionOutcome::NoCommonRange);
        std::vector<std::string> expected{"menu [              Analysis           ] Magnitude/Phase",
                                          "question Selection Error!"};
        if (help == "Help") expected.push_back("warning !! Warning !! Sorry, no help available");
        EXPECT_EQ(f.ui.log, expected);
        EXPECT_EQ(f.s.T, 7);
    }
}

TEST(FsvMain, DataChecksStopTheRun)
{
    {
        Fixture f;  // three columns in slot 1: later slots are not read (slot 3 does not even exist)
        f.ui.slots[0] = f.data.write("three.txt", "0 1 2\n1 2 3\n");
        f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0);
        f.ui.slots[2] = (f.data.path() / "missing.txt").string();
        EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui), SessionOutcome::NoCommonRange);
        EXPECT_EQ(f.ui.log, (std::vector<std::string>{"loadata", "question Error Data Input: format wrong"}));
        EXPECT_EQ(f.s.T, 0);
        EXPECT_EQ(f.s.N_DATA, 1u);
    }
    {
        Fixture f;  // one file only
        f.ui.slots[4] = writeSet(f.data, "a.txt", 1.0, 0);
        EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui), SessionOutcome::NoCommonRange);
        EXPECT_EQ(f.ui.log, (std::vector<std::string>{"loadata", "question Error Data Input: must be > #2"}));
        EXPECT_EQ(f.s.T, 0);
    }
    {
        Fixture f;  // a file that is not numbers: the reader's error ends the run
        f.ui.slots[0] = f.data.write("text.txt", "0 1\n1 x\n");
        f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0);
        EXPECT_THROW(runAnalysisSession(f.s, Domain::Time, f.ui), Error);
    }
}

TEST(FsvMain, CancelledFolderAndNoCommonRange)
{
    {
        Fixture f;
        f.ui.folder.clear();
        f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0);
        f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0);
        EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui), SessionOutcome::NoCommonRange);
        EXPECT_EQ(f.ui.log, (std::vector<std::string>{"loadata", "folder Select Folder for OUTPUT Data"}));
        EXPECT_TRUE(fs::is_empty(f.out.path()));
    }
    {
        Fixture f;  // phase: the progress window is open when the choice is cancelled
        f.ui.folder.clear();
        f.ui.menuAnswer = 2;
        f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0);
        f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0);
        EXPECT_NE(runAnalysisSession(f.s, Domain::Frequency, f.ui), SessionOutcome::NoCommonRange);
        EXPECT_EQ(f.ui.log.back(), "progress closed");
    }
    {
        Fixture f;
        f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0, 0, 10);
        f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0, 20, 30);
        EXPECT_EQ(runAnalysisSession(f.s, Domain::Time, f.ui), SessionOutcome::NoCommonRange);
        EXPECT_EQ(f.ui.log, (std::vector<std::string>{"loadata", "folder Select Folder for OUTPUT Data",
                                                      "progress opened",
                                                      "question Error Data Input: Check x-Range of the data sets",
                                                      "progress closed"}));
        EXPECT_TRUE(fs::is_empty(f.out.path()));  // no empty sub-folder is left behind
    }
}

TEST(FsvMain, SlotsAreCountedInOrder)
{
    Fixture f;
    f.ui.slots[1] = writeSet(f.data, "second.txt", 1.0, 0, 0, 200);
    f.ui.slots[4] = writeSet(f.data, "fifth.txt", 2.0, 0.4, 10, 190);
    AnalysisResult r;
    EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui, {}, &r), SessionOutcome::NoCommonRange);
    EXPECT_EQ(f.s.N_DATA, 2u);
    EXPECT_EQ(r.abscissa.front(), 10);  // the common range starts with the fifth slot's set
    EXPECT_EQ(r.abscissa.size(), 180u); // and the spacing comes from the second slot's
}

// The reference is chosen by slot; the analysis numbers the loaded sets, so slot 5 of two
// filled slots (2 and 5) is set 2. A reference slot without a file stops before any file.
TEST(FsvMain, ReferenceSlotBecomesItsLoadedSetAndAnEmptyOneIsRefused)
{
    {
        Fixture f;
        f.ui.slots[1] = writeSet(f.data, "second.txt", 1.0, 0);
        f.ui.slots[4] = writeSet(f.data, "fifth.txt", 1.0, 0.4);
        f.ui.reference = 5;
        AnalysisResult r;
        AnalysisSettings used;
        ASSERT_EQ(runAnalysisSession(f.s, Domain::Time, f.ui, {}, &r, &used), SessionOutcome::Finished);
        EXPECT_EQ(used.reference, 2u);
        EXPECT_EQ(r.reference, 2u);
        EXPECT_EQ(r.resampled.back(), r.resampled[1]);
        EXPECT_EQ(r.adm.ADMtot[1], 0);
        EXPECT_GT(r.adm.ADMtot[0], 0);
        ASSERT_EQ(used.readReports.size(), 2u);
        EXPECT_TRUE(used.readReports[0].plain);
    }
    {
        Fixture f;
        f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0);
        f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0.4);
        f.ui.reference = 3;
        EXPECT_EQ(runAnalysisSession(f.s, Domain::Time, f.ui), SessionOutcome::Stopped);
        EXPECT_EQ(f.ui.log, (std::vector<std::string>{"loadata",
                                                      "question Error Data Input: the reference must be a loaded data set"}));
        EXPECT_TRUE(fs::is_empty(f.out.path()));
    }
}

TEST(FsvMain, EachRunTakesTheFirstFreeSubfolder)
{
    Fixture f;
    fs::create_directory(f.out.path() / "Time Domain Analysis");
    // A dangling link and a file of a free name's kind are in the way just as a folder is.
    fs::create_symlink(f.out.path() / "nowhere", f.out.path() / "Time Domain Analysis_2");
    // A file of that name is in the way just as a folder is.
    std::ofstream(f.out.path() / "Time Domain Analysis_1") << "x";
    f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0);
    f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0.2);
    EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui), SessionOutcome::NoCommonRange);
    EXPECT_EQ(f.s.analysisFolderName, "Time Domain Analysis_3");
    EXPECT_TRUE(fs::exists(f.out.path() / "Time Domain Analysis_3" / "MagnitudeAnalysis.mat"));
    EXPECT_FALSE(fs::exists(f.out.path() / "Time Domain Analysis_3" / kIncompleteMarker));
    // The empty folder in the way was neither replaced nor filled, and the hidden folder the
    // new one was made under did not stay behind.
    EXPECT_TRUE(fs::is_empty(f.out.path() / "Time Domain Analysis"));
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(f.out.path())) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"Time Domain Analysis", "Time Domain Analysis_1",
                                            "Time Domain Analysis_2", "Time Domain Analysis_3"}));
}

TEST(FsvMain, EightSetsBringBarTwoToExactlyOne)
{
    Fixture f;
    for (std::size_t k = 0; k < 8; ++k)
        f.ui.slots[k] = writeSet(f.data, "s" + std::to_string(k) + ".txt", 1.0, 0.1 * static_cast<double>(k));
    EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui), SessionOutcome::NoCommonRange);
    // The last update of step 21 is the one before 0.98.
    ASSERT_GE(f.ui.bars.size(), 3u);
    const auto& last21 = f.ui.bars[f.ui.bars.size() - 3];
    EXPECT_EQ(last21.first, 2);
    EXPECT_DOUBLE_EQ(last21.second, 1.0);
}

// Stands in for the chart builder: records each chart and, like it, makes the threshold
// folder when it saves the first one.
class FolderMakingCharts : public ChartSink {
public:
    explicit FolderMakingCharts(const Session& s) : s_(s) {}
    std::vector<std::string> calls;
    void chart(const ChartRequest& r) override
    {
        std::string line = std::to_string(r.argumentCount()) + ":";
        for (const ChartSeries& c : r.series) line += " " + c.name;
        calls.push_back(line);
        fs::create_directories(fs::path(s_.outputFolder) / s_.analysisFolderName / r.thrs);
    }

private:
    const Session& s_;
};

TEST(FsvMain, ChartsInOrderAndTheirFolderIsReused)
{
    Fixture f;
    f.s.startThreshold = "70";
    f.ui.slots[0] = writeSet(f.data, "a.txt", 1.0, 0);
    f.ui.slots[1] = writeSet(f.data, "b.txt", 1.0, 0.2);
    FolderMakingCharts charts(f.s);
    EXPECT_NE(runAnalysisSession(f.s, Domain::Time, f.ui, {nullptr, &charts}), SessionOutcome::NoCommonRange);
    const std::vector<std::string> expected{
        "5: ADM_1", "5: FDM_1", "5: ADM_2", "5: FDM_2", "5: ADM_3", "5: FDM_3", "6: GDM_1", "6: GDM_2", "6: GDM_3",
        "12: ADM_1 FDM_1 GDM_1", "9: ADM_1 FDM_1", "9: ADM_1 GDM_1", "9: FDM_1 GDM_1",
        "12: ADM_2 FDM_2 GDM_2", "9: ADM_2 FDM_2", "9: ADM_2 GDM_2", "9: FDM_2 GDM_2",
        "12: ADM_3 FDM_3 GDM_3", "9: ADM_3 FDM_3", "9: ADM_3 GDM_3", "9: FDM_3 GDM_3"};
    EXPECT_EQ(charts.calls, expected);
    const fs::path folder = f.out.path() / "Time Domain Analysis";
    EXPECT_TRUE(fs::exists(folder / "70" / "GRADE_SPREAD.mat"));
    EXPECT_TRUE(fs::exists(folder / "GreadSpread_70.txt"));
}

TEST(FsvMain, AFailedWriteEndsTheRunWithoutPartialFiles)
{
    Fixture f;
    // Long sets: the reports of the signals are larger than the limit, the small ones fit.
    f.ui.slots[0] = writeSet(f.data, "a.txt", 0.05, 0);
    f.ui.slots[1] = writeSet(f.data, "b.txt", 0.05, 0.2);
    {
        test::FileSizeLimit limit(16 * 1024);
        EXPECT_THROW(runAnalysisSession(f.s, Domain::Time, f.ui), Error);
    }
    // The first report was too large to write: the run wrote nothing, and its folder is gone.
    for (const auto& entry : fs::recursive_directory_iterator(f.out.path()))
        ADD_FAILURE() << "left behind: " << entry.path();
    EXPECT_EQ(f.ui.log.back(), "progress closed");
}

// Names of the figure files in a folder (not in its sub-folders).
std::set<std::string> figureFilesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".fig") names.insert(e.path().filename().string());
    return names;
}

TEST(FsvMain, EveryPlotAndChartIsSavedAsAFigureFile)
{
    for (const auto& [sets, answer] : {std::pair<std::size_t, int>{2, 1}, {2, 2}, {8, 1}}) {
        Fixture f;
        f.ui.menuAnswer = answer;
        for (std::size_t k = 0; k < sets; ++k)
            f.ui.slots[k] = writeSet(f.data, "s" + std::to_string(k) + ".txt", 1.0, 0.1 * static_cast<double>(k));
        FigureFiles files(f.s, f.ui);
        EXPECT_NE(runAnalysisSession(f.s, Domain::Frequency, f.ui, {&files, &files}), SessionOutcome::NoCommonRange);
        const fs::path folder = f.out.path() / "Frequency Domain Analysis";
        const std::set<std::string> plots = figureFilesIn(folder), charts = figureFilesIn(folder / "85");
        EXPECT_EQ(plots.size(), 8 * (sets + 1));
        EXPECT_EQ(charts.size(), 7 * (sets + 1));
        EXPECT_EQ(files.written(), 15 * (sets + 1));
        const std::string suffix = answer == 1 ? " magnitude.fig" : " phase.fig";
        for (const char* prefix : {"Low Data_", "High Data_", "ADMi_", "ADMc_", "FDMi_", "FDMc_", "GDMi_", "GDMc_"})
            EXPECT_TRUE(plots.count(prefix + std::to_string(sets + 1) + suffix)) << prefix;
        EXPECT_TRUE(charts.count("FsvColorCodeChartADM_2_FDM_2_85.fig"));
        EXPECT_TRUE(charts.count("FsvColorCodeChartADM_1_FDM_1_GDM_1_85.fig"));
        EXPECT_TRUE(charts.count("FsvColorCodeChartGDM_" + std::to_string(sets + 1) + "_85.fig"));
        EXPECT_TRUE(fs::exists(folder / "85" / "GRADE_SPREAD.mat"));

        // A saved plot reads back with the data the analysis computed.
        const Figure adm = readFigureFile(folder / ("ADMc_1" + suffix));
        EXPECT_EQ(adm.axes.title, "ADMc_1" + suffix.substr(0, suffix.size() - 4));
        EXPECT_EQ(adm.axes.xLabel, "classes");
    }
}

}  // namespace
}  // namespace orvane

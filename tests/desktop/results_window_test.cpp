// The results window on result folders written by the program: control states, plots,
// original data, saved folders and plot export, with scripted dialogs and choosers.
#include "desktop/results_window.h"

#include "desktop/desktop.h"
#include "analysis/output_folder.h"
#include "analysis/result_files.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "support/analysis_fixture.h"
#include "support/recording.h"
#include "support/scripted_choosers.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <qcustomplot.h>

#include <QLabel>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* const kSelectors[] = {"radiobutton38", "radiobutton54", "radiobutton40", "radiobutton41",
                                  "radiobutton42", "radiobutton43", "radiobutton44", "radiobutton45"};
const char* const kPlots[] = {"radiobutton19", "radiobutton20", "radiobutton21",
                              "radiobutton25", "radiobutton26", "radiobutton27"};

struct Analysis {
    Session session;  // the globals as the analysis left them
    fs::path folder;
};

std::string titleOf(QCustomPlot* p)
{
    for (int i = 0; i < p->plotLayout()->elementCount(); ++i)
        if (auto* t = qobject_cast<QCPTextElement*>(p->plotLayout()->elementAt(i))) return t->text().toStdString();
    return {};
}

std::vector<std::string> legendOf(QCustomPlot* p)
{
    std::vector<std::string> rows;
    for (int i = 0; i < p->legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(p->legend->item(i)))
            rows.push_back(item->plottable()->name().toStdString());
    return rows;
}

Vec valuesOf(QCPGraph* g)
{
    Vec v;
    for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it) v.push_back(it->value);
    return v;
}

class ResultsWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { out = std::make_unique<test::TempDir>(); }
    static void TearDownTestSuite()
    {
        analyses.clear();
        out.reset();
    }
    // One analysis per kind, run once for all tests: n sets, a1 = 1 time domain, else
    // frequency domain with menu answer 1 magnitude or 2 phase.
    static const Analysis& analysis(int n, int a1 = 1, int menu = 1)
    {
        const std::string key = std::to_string(n) + "-" + std::to_string(a1) + "-" + std::to_string(menu);
        auto it = analyses.find(key);
        if (it == analyses.end()) {
            Analysis a;
            a.folder = test::runAnalysis(a.session, out->path() / key, n, a1, menu);
            it = analyses.emplace(key, a).first;
        }
        return it->second;
    }

    void SetUp() override
    {
        ds.dialogs = &dialogs;
        ds.choosers = &choosers;
        ds.resultsPreparingPause = 0ms;
    }
    void TearDown() override
    {
        for (const char* layout : {"results.fig", "orvane", "ColorCodeChart.fig"}) deleteWindow(openWindowOf(layout));
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "Legend" || w->objectName() == "Original") deleteWindow(w);
        test::settle();
    }

    // A copy of the analysis folder that a test may change; the globals point to it.
    fs::path openCopyOf(const Analysis& a, const std::string& name = "copy")
    {
        const fs::path copy = dir.path() / name;
        fs::copy(a.folder, copy, fs::copy_options::recursive);
        ds.session = a.session;
        ds.session.outputFolder = dir.path().string();
        ds.session.analysisFolderName = name;
        open();
        return copy;
    }
    void openAfter(const Analysis& a)
    {
        ds.session = a.session;
        open();
    }
    void openBrowsing()
    {
        ds.session = Session{};
        ds.session.T = 0;
        open();
    }
    void open()
    {
        ResultsWindow::open(ds);
        window = openWindowOf("results.fig");
        ASSERT_NE(window, nullptr);
        h = Handles(window);
    }
    void browse(const fs::path& folder)
    {
        choosers.folders.push_back(folder.string());
        click("pushbutton2");
    }
    void click(const std::string& tag) { test::click(window, tag); }
    void choose(std::initializer_list<int> sets)
    {
        for (int k : sets) click(kSelectors[k - 1]);
    }
    QCustomPlot* axes3() { return h.get<QCustomPlot>("axes3"); }
    // One character per control: 1 on, 0 off (enabled, visible or value).
    template <std::size_t n, class F> std::string row(const char* const (&tags)[n], F f)
    {
        std::string s;
        for (const char* tag : tags) s += f(h[tag]) ? '1' : '0';
        return s;
    }
    static bool enabled(QWidget* w) { return enableOf(w) == Enable::On; }
    static bool shown(QWidget* w) { return !w->isHidden(); }
    static bool on(QWidget* w) { return valueOf(w) == 1; }
    // The results window's original-data window and its legend window, when open.
    QWidget* originalWindow() const { return ds.resultsWindow ? ds.resultsWindow->originalWindow() : nullptr; }
    QWidget* legendWindow() const { return ds.resultsWindow ? ds.resultsWindow->legendWindow() : nullptr; }

    static inline std::unique_ptr<test::TempDir> out;
    static inline std::map<std::string, Analysis> analyses;
    DesktopSession ds;
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    test::ScriptedChoosers choosers;
    QWidget* window = nullptr;
    Handles h;
};

TEST_F(ResultsWindowTest, SelectorsAfterAnAnalysisFollowItsNumberOfSets)
{
    openAfter(analysis(2));
    EXPECT_EQ(row(kSelectors, enabled), "11000000");
    EXPECT_EQ(row(kPlots, shown), "111111");
    EXPECT_EQ(row(kPlots, enabled), "000000");
    EXPECT_TRUE(shown(h["text2"]));  // time domain
    EXPECT_FALSE(shown(h["text4"]));
    EXPECT_FALSE(shown(h["pushbutton2"]));
    EXPECT_TRUE(shown(h["pushbutton20"]) && shown(h["pushbutton44"]) && shown(h["text14"]));
    EXPECT_FALSE(shown(h["pushbutton10"]) || shown(h["text16"]));
    EXPECT_EQ(ds.resultsWindow->widget(), window);

    openAfter(analysis(8, 0, 2));  // phase: the same window, opened again
    EXPECT_EQ(openWindowOf("results.fig"), window);
    EXPECT_EQ(row(kSelectors, enabled), "11111111");
    EXPECT_TRUE(shown(h["text4"]));
}

TEST_F(ResultsWindowTest, ControlsAppearOnlyAfterThePreparingPause)
{
    ds.resultsPreparingPause = 300ms;
    std::string during;
    QTimer::singleShot(100, [&] {  // runs inside the pause: the window keeps being served
        const Handles w(openWindowOf("results.fig"));
        during = std::string(shown(w["text16"]) ? "text16 " : "") + (shown(w["pushbutton1"]) ? "pushbutton1 " : "") +
                 (shown(w["radiobutton19"]) ? "radiobutton19 " : "") + (shown(w["axes3"]) ? "axes3" : "");
    });
    openAfter(analysis(2));
    EXPECT_EQ(during, "text16 ");
    EXPECT_FALSE(shown(h["text16"]));
    EXPECT_TRUE(shown(h["pushbutton1"]) && shown(h["axes3"]));
}

TEST_F(ResultsWindowTest, BrowsingAFolderWithBothResultFilesLoadsTheMagnitudeAnalysis)
{
    openBrowsing();
    EXPECT_EQ(row(kSelectors, enabled), "00000000");
    EXPECT_TRUE(shown(h["pushbutton2"]));
    EXPECT_FALSE(shown(h["pushbutton20"]) || shown(h["text2"]) || shown(h["text4"]));

    const fs::path folder = dir.path() / "both";
    fs::copy(analysis(5).folder, folder, fs::copy_options::recursive);
    fs::copy_file(analysis(8, 0, 2).folder / kPhaseAnalysisFile, folder / kPhaseAnalysisFile);
    browse(folder);
    EXPECT_EQ(choosers.folderPrompts.back(), "Select a folder");
    EXPECT_EQ(stringOf(h["pushbutton2"]), "Magnitude Analysis");
    EXPECT_EQ(ds.session.N_DATA, 5u);  // the magnitude file's, not the phase file's 8
    EXPECT_EQ(ds.session.Dest1, "1");
    EXPECT_EQ(ds.session.T, 0);
    EXPECT_EQ(row(kSelectors, shown), "11111000");
    EXPECT_EQ(row(kSelectors, enabled), "11111000");
    EXPECT_TRUE(shown(h["pushbutton20"]) && shown(h["pushbutton44"]));
    EXPECT_TRUE(dialogs.warnings.empty());

    // A folder of a run that did not finish loads too, with a warning that says so.
    std::ofstream(folder / kIncompleteMarker) << "x";
    browse(folder);
    ASSERT_EQ(dialogs.warnings.size(), 1u);
    EXPECT_NE(dialogs.warnings[0].find("This analysis did not finish"), std::string::npos) << dialogs.warnings[0];
    EXPECT_EQ(stringOf(h["pushbutton2"]), "Magnitude Analysis");
}

TEST_F(ResultsWindowTest, BrowsingAFolderWithoutResultFilesWarnsAndResets)
{
    openBrowsing();
    browse(analysis(5).folder);
    auto* loaded = window->findChild<QLabel*>("loadedFolder");
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(shown(loaded));
    EXPECT_EQ(loaded->toolTip().toStdString(), analysis(5).folder.string());  // which folder the plots read
    choose({1, 2});
    // A long path is shortened, never widening the column.
    EXPECT_LE(loaded->sizeHint().width(), std::max(h["pushbutton2"]->width(), 120) + 1);

    browse(dir.path());
    // The sets and original data of the folder before are gone with it.
    EXPECT_EQ(row(kSelectors, enabled), "00000000");
    EXPECT_EQ(row(kSelectors, on), "00000000");
    EXPECT_FALSE(enabled(h["pushbutton44"]));
    EXPECT_FALSE(shown(loaded));
    EXPECT_EQ(dialogs.warnings, (std::vector<std::string>{"!! Warning !!: .mat file not available!!"}));
    EXPECT_EQ(stringOf(h["pushbutton2"]), "Folder 1");
    EXPECT_EQ(row(kPlots, on), "000000");
    EXPECT_EQ(row(kPlots, enabled), "000000");
    EXPECT_FALSE(on(h["radiobutton39"]) || enabled(h["radiobutton39"]));
    EXPECT_FALSE(axes3()->xAxis2->visible());  // box off
    EXPECT_EQ(ds.session.T, 0);
    EXPECT_NE(ds.session.Dest1, "1");
}

TEST_F(ResultsWindowTest, CancellingKeepsTheLoadedFolderAndForgetsItsOriginalDataWindows)
{
    openBrowsing();
    browse(analysis(5).folder);
    choose({1});
    click("pushbutton44");
    const QPointer<QWidget> original = originalWindow(), legend = legendWindow();
    ASSERT_TRUE(original && legend);

    click("pushbutton2");  // nothing scripted: cancelled
    EXPECT_EQ(stringOf(h["pushbutton2"]), "Magnitude Analysis");
    EXPECT_EQ(ds.session.N_DATA, 5u);
    EXPECT_EQ(ds.session.folder1, analysis(5).folder.string());
    EXPECT_FALSE(originalWindow() || legendWindow());
    test::settle();
    EXPECT_TRUE(original && original->isVisible() && legend && legend->isVisible());  // not closed
    click("radiobutton19");  // the folder still serves the plots
    EXPECT_EQ(axes3()->graphCount(), 1);
    EXPECT_TRUE(dialogs.warnings.empty());
}

TEST_F(ResultsWindowTest, SetsTwoAndFiveAreNamedInTheOriginalDataAndThePlot)
{
    openAfter(analysis(5));
    choose({2, 5});
    click("pushbutton44");
    EXPECT_EQ(row(kSelectors, enabled), "00000000");
    EXPECT_EQ(row(kPlots, enabled), "111111");
    EXPECT_TRUE(shown(h["pushbutton33"]));
    EXPECT_FALSE(enabled(h["pushbutton44"]));

    ASSERT_TRUE(originalWindow() && legendWindow());
    EXPECT_EQ(originalWindow()->objectName(), "Original");
    EXPECT_EQ(legendWindow()->objectName(), "Legend");
    EXPECT_EQ(Handles(legendWindow()).get<QListWidget>("textbox")->count(), 7);
    auto* original = originalWindow()->findChild<QCustomPlot*>();
    EXPECT_EQ(legendOf(original), (std::vector<std::string>{"Dataset2", "Dataset5", "Average "}));
    EXPECT_EQ(titleOf(original), "Original Dataset");
    EXPECT_EQ(original->xAxis->label().toStdString(), "Time");

    click("radiobutton19");
    EXPECT_EQ(row(kPlots, enabled), "100000");
    EXPECT_TRUE(shown(h["pushbutton10"]));
    EXPECT_EQ(legendOf(axes3()), (std::vector<std::string>{"Dataset2", "Dataset5"}));
    EXPECT_EQ(titleOf(axes3()), "ADMi Magnitude");
    const LoadedAnalysis file = loadAnalysisFile(analysis(5).folder / kMagnitudeAnalysisFile);
    ASSERT_EQ(axes3()->graphCount(), 2);
    EXPECT_EQ(valuesOf(axes3()->graph(1)), file.result.adm.ADMi[4]);
    EXPECT_EQ(axes3()->graph(0)->pen().color(), QColor(Qt::blue));  // S_MARKER letter 2
    EXPECT_EQ(axes3()->graph(1)->pen().color(), QColor(Qt::cyan));
    EXPECT_EQ(axes3()->graph(1)->pen().style(), Qt::DashDotLine);

    click("radiobutton19");  // deselected: the plot area is clear and the others usable again
    EXPECT_EQ(axes3()->graphCount(), 0);
    EXPECT_EQ(titleOf(axes3()), "");
    EXPECT_EQ(row(kPlots, enabled), "111111");
    EXPECT_FALSE(shown(h["pushbutton10"]));

    click("pushbutton33");
    test::settle();
    EXPECT_FALSE(originalWindow() || legendWindow());
    EXPECT_EQ(row(kSelectors, on), "00000000");
    EXPECT_EQ(row(kSelectors, enabled), "11111000");
    EXPECT_EQ(row(kPlots, enabled), "000000");
    EXPECT_TRUE(enabled(h["pushbutton44"]));
}

// Every chosen set's points lie inside the chart, whatever set 1 holds.
TEST_F(ResultsWindowTest, HistogramScaleCoversTheChosenSets)
{
    openAfter(analysis(5));
    choose({3});
    click("pushbutton44");
    click("radiobutton26");
    const LoadedAnalysis file = loadAnalysisFile(analysis(5).folder / kMagnitudeAnalysisFile);
    const Histogram& three = file.result.fdm.FDMc[2];
    const double top = *std::max_element(three.begin(), three.end());
    EXPECT_DOUBLE_EQ(axes3()->yAxis->range().upper, top + top / 4);
    EXPECT_DOUBLE_EQ(axes3()->yAxis->range().lower, 0);
    EXPECT_EQ(legendOf(axes3()), (std::vector<std::string>{"Dataset3"}));
    EXPECT_EQ(titleOf(axes3()), "FDMc Magnitude");
    EXPECT_EQ(axes3()->graph(0)->scatterStyle().shape(), QCPScatterStyle::ssCircle);
    EXPECT_EQ(axes3()->itemCount(), 6);  // the class names
}

TEST_F(ResultsWindowTest, BrowsedPlotsAreTitledMagnitudeOrByTheirVariable)
{
    openBrowsing();
    browse(analysis(8, 0, 2).folder);  // a phase analysis
    EXPECT_EQ(stringOf(h["pushbutton2"]), "Phase Analysis");
    choose({1});
    click("pushbutton44");
    click("radiobutton20");
    EXPECT_EQ(titleOf(axes3()), "FDMi Magnitude");
    EXPECT_EQ(axes3()->xAxis->label().toStdString(), "Frequency");
    click("radiobutton20");
    click("radiobutton27");
    EXPECT_EQ(titleOf(axes3()), "GDMc");
}

TEST_F(ResultsWindowTest, OnlyADMiResetsTheSixSelectionsWhenDeselectedWhileBrowsing)
{
    openBrowsing();
    browse(analysis(5).folder);
    choose({1});
    click("pushbutton44");
    click("radiobutton20");
    setValue(h["radiobutton25"], 1);  // a value left on elsewhere
    click("radiobutton20");
    EXPECT_EQ(row(kPlots, on), "000100");
    EXPECT_EQ(row(kPlots, enabled), "111111");

    click("radiobutton19");
    click("radiobutton19");
    EXPECT_EQ(row(kPlots, on), "000000");
    EXPECT_EQ(row(kPlots, enabled), "111111");
}

// Closing either original-data window is "Close Original Data": both go, and the results
// window is back at the data set choice instead of staying locked.
TEST_F(ResultsWindowTest, ClosingAnOriginalDataWindowWithYesReturnsToTheSetChoice)
{
    for (const bool legendFirst : {true, false}) {
        openBrowsing();
        browse(analysis(2).folder);
        choose({1});
        click("pushbutton44");
        const QPointer<QWidget> original = originalWindow(), legend = legendWindow();
        QWidget* closed = legendFirst ? legend.data() : original.data();

        dialogs.questions.clear();
        dialogs.answers = {"No"};
        closed->close();
        test::settle();
        ASSERT_TRUE(legend && original);
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_EQ(dialogs.questions[0].message, "Close Specified Figure?");
        EXPECT_EQ(dialogs.questions[0].title, "Close Request Function");

        dialogs.answers = {"Yes"};
        closed->close();
        test::settle();
        EXPECT_FALSE(legend || original) << legendFirst;
        EXPECT_FALSE(legendWindow() || originalWindow());
        EXPECT_EQ(row(kSelectors, enabled), "11000000");
        EXPECT_EQ(row(kSelectors, on), "00000000");
        EXPECT_EQ(row(kPlots, enabled), "000000");
        EXPECT_TRUE(enabled(h["pushbutton44"]));
        deleteWindow(window);
        test::settle();
    }
}

TEST_F(ResultsWindowTest, BackToTheMainWindowClosesTheOriginalDataWindows)
{
    openBrowsing();
    browse(analysis(2).folder);
    choose({2});
    click("pushbutton44");
    const QPointer<QWidget> original = originalWindow(), legend = legendWindow(), results = window;
    click("pushbutton1");
    test::settle();
    EXPECT_FALSE(original || legend || results);
    EXPECT_EQ(ds.session.Dest1, "0");
    EXPECT_NE(openWindowOf("orvane"), nullptr);
}

// At the smallest size the window allows, every control is whole and beside the plot.
TEST_F(ResultsWindowTest, AtItsMinimumSizeNoControlOverlapsThePlot)
{
    openAfter(analysis(8));
    choose({1});
    click("pushbutton44");  // the most controls shown
    click("radiobutton19");
    window->resize(window->minimumSize());
    window->layout()->activate();
    EXPECT_EQ(window->size(), QSize(900, 600));
    const QRect plot(axes3()->mapTo(window, QPoint(0, 0)), axes3()->size());
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w == axes3() || axes3()->isAncestorOf(w) || w->isAncestorOf(axes3())) continue;
        const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
        EXPECT_FALSE(at.intersects(plot)) << w->objectName().toStdString();
        EXPECT_TRUE(window->rect().contains(at)) << w->objectName().toStdString();
        EXPECT_GE(w->height(), std::min(w->minimumSizeHint().height(), w->sizeHint().height()))
            << w->objectName().toStdString();
    }
}

// The title bar's close button is the back button: the program must not end with no window.
TEST_F(ResultsWindowTest, ClosingFromTheTitleBarGoesBackToTheMainWindow)
{
    openAfter(analysis(2));
    choose({1});
    click("pushbutton44");
    const QPointer<QWidget> original = originalWindow(), legend = legendWindow(), results = window;
    ASSERT_TRUE(original && legend);
    window->close();
    test::settle();
    EXPECT_FALSE(original || legend || results);
    EXPECT_TRUE(dialogs.questions.empty());  // no close request asked for the original data
    ASSERT_NE(openWindowOf("orvane"), nullptr);
    EXPECT_TRUE(openWindowOf("orvane")->isVisible());
    EXPECT_EQ(ds.session.Dest1, "0");
}

TEST_F(ResultsWindowTest, NoChosenSetAsksForASelection)
{
    openAfter(analysis(2));
    dialogs.answers = {"Help"};
    click("pushbutton44");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].message, "Selection Error!");
    EXPECT_EQ(dialogs.questions[0].title, "Quit Program");
    EXPECT_EQ(dialogs.questions[0].buttons, (std::vector<std::string>{"OK", "Help"}));
    EXPECT_EQ(dialogs.warnings, (std::vector<std::string>{"!! Warning !!: Sorry, no help available"}));
    EXPECT_FALSE(originalWindow() || shown(h["pushbutton33"]));
    EXPECT_EQ(row(kPlots, enabled), "000000");
}

// The picture holds the plot: white paper with the curves' colour somewhere on it.
void expectPlotPicture(const fs::path& file, QSize size)
{
    ASSERT_TRUE(fs::exists(file)) << file;
    std::ifstream in(file, std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
    QImage picture;
    ASSERT_TRUE(picture.load(QString::fromStdString(file.string()), "BMP"));
    EXPECT_EQ(picture.size(), size);
    int red = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) red += picture.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 20);
}

TEST_F(ResultsWindowTest, SavedPlotsAreBmpPicturesNamedByVariableAndAnalysis)
{
    const fs::path magnitude = openCopyOf(analysis(5), "magnitude");
    choose({1});
    click("pushbutton44");
    click("radiobutton19");
    click("pushbutton10");
    // The plot area alone: the controls beside it would leave a blank band.
    expectPlotPicture(magnitude / "ADMi magnitude.bmp", axes3()->size());
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_EQ(dialogs.informed,
              std::vector<std::string>{"Save Plot: Saved as ADMi magnitude.bmp in " + magnitude.string()});
    EXPECT_EQ(titleOf(axes3()), "ADMi Magnitude");  // the window itself is unchanged

    // The same plot kind again (for other sets): asked, and by default saved under a new name.
    const auto before = fs::last_write_time(magnitude / "ADMi magnitude.bmp");
    click("pushbutton10");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].buttons, (std::vector<std::string>{"Replace", "Save as New", "Cancel"}));
    EXPECT_EQ(dialogs.questions[0].defaultButton, "Save as New");
    expectPlotPicture(magnitude / "ADMi magnitude (2).bmp", axes3()->size());
    EXPECT_EQ(fs::last_write_time(magnitude / "ADMi magnitude.bmp"), before);
    dialogs.answers = {"Cancel"};
    click("pushbutton10");
    EXPECT_FALSE(fs::exists(magnitude / "ADMi magnitude (3).bmp"));
    dialogs.answers = {"Replace"};
    click("pushbutton10");
    EXPECT_FALSE(fs::exists(magnitude / "ADMi magnitude (3).bmp"));
    EXPECT_EQ(dialogs.informed.back(), "Save Plot: Saved as ADMi magnitude.bmp in " + magnitude.string());

    deleteWindow(window);
    test::settle();
    const fs::path phase = openCopyOf(analysis(8, 0, 2), "phase");
    choose({1, 2});
    click("pushbutton44");
    click("radiobutton26");
    click("pushbutton10");
    expectPlotPicture(phase / "FDMc phase.bmp", axes3()->size());
}

TEST_F(ResultsWindowTest, AResultFileThatIsNotAMatFileIsToldAndTheWindowStaysUsable)
{
    const fs::path folder = openCopyOf(analysis(2));
    choose({1});
    click("pushbutton44");
    const fs::path file = folder / kMagnitudeAnalysisFile;
    fs::rename(file, folder / "kept.mat");
    std::ofstream(file) << "1 2\n3 4\n";
    click("radiobutton21");
    ASSERT_EQ(dialogs.warnings.size(), 1u);
    EXPECT_NE(dialogs.warnings[0].find(file.string()), std::string::npos) << dialogs.warnings[0];
    EXPECT_EQ(row(kPlots, on), "000000");
    EXPECT_EQ(row(kPlots, enabled), "111111");
    EXPECT_FALSE(shown(h["pushbutton10"]));

    fs::rename(folder / "kept.mat", file);
    click("radiobutton21");
    EXPECT_EQ(axes3()->graphCount(), 1);
    EXPECT_EQ(titleOf(axes3()), "GDMi Magnitude");
}

TEST_F(ResultsWindowTest, TheChartButtonStepsAsideAndResultsOneBringsTheWindowBack)
{
    openAfter(analysis(5));
    choose({1});
    click("pushbutton44");
    ds.session.saveCharts = 1;
    click("pushbutton20");
    EXPECT_EQ(ds.session.saveCharts, 0);
    EXPECT_FALSE(window->isVisible() || originalWindow()->isVisible() || legendWindow()->isVisible());
    deleteWindow(openWindowOf("ColorCodeChart.fig"));

    ds.session.N_DATA = 3;
    ResultsWindow::showAgain(ds);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ds.session.N_DATA, 5u);  // reloaded from the analysis file
    EXPECT_EQ(ds.session.D, 1);
}

// A "CombinedAnalysis.mat" as GNU Octave writes it: three sets and their average, no GDMi.
bool writeCombinedAnalysis(const fs::path& folder)
{
    if (std::system("command -v octave-cli >/dev/null 2>&1") != 0) return false;
    const fs::path script = folder / "combined.m";
    std::ofstream(script) << "D = 1; N_DATA = 3; S_MARKER = 'rbgycmbkk';\n"
                             "Mfreq = (0:39)' / 4;\n"
                             "Mdata = cell(1, 4); ADMi = cell(1, 4); ADMc = cell(1, 4);\n"
                             "for k = 1:4\n"
                             "  Mdata{k} = sin(Mfreq * k) + k;\n"
                             "  ADMi{k} = abs(cos(Mfreq * k)) / k;\n"
                             "  ADMc{k} = [0.4; 0.3; 0.1; 0.1; 0.05; 0.05] * k / 4;\n"
                             "end\n"
                             "save('-v6', fullfile(argv(){1}, 'CombinedAnalysis.mat'), 'D', 'N_DATA', 'S_MARKER', "
                             "'Mfreq', 'Mdata', 'ADMi', 'ADMc');\n";
    const std::string command =
        "octave-cli --no-gui --quiet '" + script.string() + "' '" + folder.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && fs::exists(folder / kCombinedAnalysisFile);
}

TEST_F(ResultsWindowTest, BrowsingReadsCombinedAnalysisWrittenByOctaveWhenTheAnalysisFileIsGone)
{
    const fs::path folder = dir.path() / "combined";
    fs::copy(analysis(5).folder, folder, fs::copy_options::recursive);
    openBrowsing();
    browse(folder);
    choose({2, 3});
    fs::remove(folder / kMagnitudeAnalysisFile);
    if (!writeCombinedAnalysis(folder)) GTEST_SKIP() << "GNU Octave (octave-cli) is not installed";

    click("pushbutton44");
    ASSERT_TRUE(dialogs.warnings.empty()) << dialogs.warnings.front();
    EXPECT_EQ(ds.session.N_DATA, 3u);
    auto* original = originalWindow()->findChild<QCustomPlot*>();
    ASSERT_EQ(original->graphCount(), 3);
    const Vec set3 = valuesOf(original->graph(1));
    ASSERT_EQ(set3.size(), 40u);
    EXPECT_DOUBLE_EQ(set3[10], std::sin(2.5 * 3) + 3);

    click("radiobutton19");
    EXPECT_DOUBLE_EQ(valuesOf(axes3()->graph(0))[6], std::abs(std::cos(1.5 * 2)) / 2);
    click("pushbutton10");
    EXPECT_TRUE(fs::exists(folder / "ADMic.bmp"));  // neither analysis file is there any more

    click("radiobutton19");
    click("radiobutton21");  // the file has no GDMi
    ASSERT_EQ(dialogs.warnings.size(), 1u);
    EXPECT_NE(dialogs.warnings[0].find("GDMi"), std::string::npos) << dialogs.warnings[0];
    EXPECT_NE(dialogs.warnings[0].find((folder / kCombinedAnalysisFile).string()), std::string::npos);
    EXPECT_EQ(row(kPlots, enabled), "111111");
}

}  // namespace
}  // namespace orvane

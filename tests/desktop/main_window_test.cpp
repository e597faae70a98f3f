#include "desktop/main_window.h"

#include "desktop/desktop.h"
#include "desktop/entry.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "support/analysis_fixture.h"
#include "support/recording.h"
#include "support/scripted_choosers.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.dialogs = &dialogs;
        ds.choosers = &choosers;
        ds.menu = [this](const std::string& header, const std::vector<std::string>& items) {
            menuHeaders.push_back(header);
            menuItems = items;
            return menuAnswer;
        };
        previous = fs::current_path();
        fs::current_path(dir.path());
        window = MainWindow::open(ds).widget();
        h = Handles(window);
    }
    void TearDown() override
    {
        for (const char* layout : {"orvane", "loadata.fig", "results.fig"}) deleteWindow(openWindowOf(layout));
        test::settle();
        fs::current_path(previous);
    }
    std::vector<std::string> questionTexts() const
    {
        std::vector<std::string> out;
        for (const auto& q : dialogs.questions) out.push_back(q.title + ": " + q.message);
        return out;
    }
    // The data-loading window, when it opens: the given slots filled with data files, then closed.
    void chooseDataWhenAsked(const std::vector<int>& slotsToFill)
    {
        const auto files = test::writeDataSets(dir.path(), static_cast<int>(slotsToFill.size()));
        for (const auto& f : files) choosers.files.push_back(test::chosen(f));
        test::whenWindowOpens("loadata.fig", [slotsToFill](QWidget* w) {
            for (int k : slotsToFill) test::click(w, "pushbutton" + std::to_string(101 + k));
            test::click(w, "pushbutton15");
        });
    }

    DesktopSession ds;
    test::TempDir dir;
    fs::path previous;
    test::ScriptedDialogs dialogs;
    test::ScriptedChoosers choosers;
    int menuAnswer = 1;
    std::vector<std::string> menuHeaders, menuItems;
    QWidget* window = nullptr;
    Handles h;
};

TEST_F(MainWindowTest, DomainButtonsDecideWhatCanBeStarted)
{
    EXPECT_EQ(ds.session.startFolder, fs::current_path().string());
    auto state = [this] {
        std::string s;
        for (const char* tag : {"radiobutton3", "radiobutton4", "pushbutton3", "pushbutton5", "pushbutton6"})
            s += enableOf(h[tag]) == Enable::On ? '1' : '0';
        return s + " " + std::to_string(int(valueOf(h["radiobutton3"]))) + std::to_string(int(valueOf(h["radiobutton4"])));
    };
    EXPECT_EQ(state(), "11011 00");  // idle: start disabled, browse and read-me enabled
    test::click(window, "radiobutton3");
    EXPECT_EQ(state(), "10100 10");
    test::click(window, "radiobutton3");
    EXPECT_EQ(state(), "11011 00");
    test::click(window, "radiobutton4");
    EXPECT_EQ(state(), "01100 01");
    test::click(window, "radiobutton4");
    EXPECT_EQ(state(), "11011 00");

    // Quit deletes the window; opening it again gives a fresh, reset one.
    test::click(window, "radiobutton4");
    test::click(window, "pushbutton4");
    test::settle();
    EXPECT_EQ(openWindowOf("orvane"), nullptr);
    window = MainWindow::open(ds).widget();
    EXPECT_EQ(Handles(window).get<QAbstractButton>("radiobutton4")->isChecked(), false);

    // By name, as from the command line: the open window's own handler runs.
    EXPECT_FALSE(orvane(ds, {"pushbutton44_Callback"}));  // no open window has that control
    EXPECT_TRUE(orvane(ds, {"pushbutton4_Callback"}));
    test::settle();
    EXPECT_EQ(openWindowOf("orvane"), nullptr);
    EXPECT_TRUE(orvane(ds, {}));
    EXPECT_NE(openWindowOf("orvane"), nullptr);
}

TEST_F(MainWindowTest, TimeDomainAnalysisFromStartToTheQuestionAndBack)
{
    choosers.folders.push_back(dir.path().string());
    dialogs.answers = {"YES", "Load New Data"};  // GDM weighting, then the end question
    chooseDataWhenAsked({1, 3});
    test::click(window, "radiobutton3");
    test::click(window, "pushbutton3");
    test::settle();

    // Slots 1 and 3 were filled, the data file chooser titled per slot and filtered on *.txt.
    EXPECT_EQ(choosers.fileTitles, (std::vector<std::string>{"Select Dataset 1 ", "Select Dataset 3 "}));
    EXPECT_EQ(choosers.fileFilters.front(), "*.txt");
    EXPECT_EQ(choosers.folderPrompts, std::vector<std::string>{"Select Folder for OUTPUT Data"});
    EXPECT_EQ(choosers.folderStarts, std::vector<std::string>{dir.path().string()});
    EXPECT_EQ(ds.session.N_DATA, 2u);
    EXPECT_EQ(questionTexts().back(), "FSV Analysis Ended: Do you want?");
    EXPECT_EQ(dialogs.questions.back().defaultButton, "Plot Results");
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();

    const fs::path analysis = dir.path() / "Time Domain Analysis";
    EXPECT_TRUE(fs::is_regular_file(analysis / "MagnitudeAnalysis.mat"));
    EXPECT_TRUE(fs::is_regular_file(analysis / "85" / "GRADE_SPREAD.mat"));
    EXPECT_TRUE(fs::is_regular_file(analysis / "ADMi_1 magnitude.fig"));
    EXPECT_TRUE(fs::is_regular_file(analysis / "85" / "FsvColorCodeChartADM_1_85.fig"));
    EXPECT_EQ(fs::current_path(), dir.path());

    // "Load New Data": the same main window, shown and reset.
    QWidget* again = openWindowOf("orvane");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(valueOf(Handles(again)["radiobutton3"]), 0);
    EXPECT_EQ(enableOf(Handles(again)["pushbutton3"]), Enable::Off);
}

// The user may close the progress window while the analysis goes on: the run still ends
// with every file written.
TEST_F(MainWindowTest, ClosingTheProgressWindowDoesNotStopTheAnalysis)
{
    choosers.folders.push_back(dir.path().string());
    dialogs.answers = {"YES", "Load New Data"};
    chooseDataWhenAsked({1, 2});
    bool closed = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&closed] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "multibar" && w->isVisible()) {
                w->close();
                closed = true;
            }
    });
    poll.start();
    test::click(window, "radiobutton3");
    test::click(window, "pushbutton3");
    poll.stop();
    test::settle();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    const fs::path analysis = dir.path() / "Time Domain Analysis";
    EXPECT_TRUE(fs::is_regular_file(analysis / "MagnitudeAnalysis.mat"));
    EXPECT_TRUE(fs::is_regular_file(analysis / "85" / "GRADE_SPREAD.mat"));
    EXPECT_EQ(questionTexts().back(), "FSV Analysis Ended: Do you want?");
}

TEST_F(MainWindowTest, FrequencyMenuPhaseAndClosedMenu)
{
    // Closed menu: "Selection Error!", Help adds its warning, and the main window returns.
    menuAnswer = 0;
    dialogs.answers = {"Help", "Load New Data"};
    test::click(window, "radiobutton4");
    test::click(window, "pushbutton3");
    test::settle();
    ASSERT_EQ(menuHeaders.size(), 1u);
    EXPECT_EQ(menuHeaders[0], "              Analysis           ");
    EXPECT_EQ(menuItems, (std::vector<std::string>{"Magnitude", "Phase"}));
    EXPECT_EQ(questionTexts().front(), "Quit Program: Selection Error!");
    EXPECT_EQ(dialogs.warnings, std::vector<std::string>{"!! Warning !!: Sorry, no help available"});
    EXPECT_EQ(questionTexts().back(), "FSV Analysis Ended: Do you want?");
    ASSERT_NE(openWindowOf("orvane"), nullptr);
    EXPECT_TRUE(openWindowOf("orvane")->isVisible());

    // "Phase": a phase analysis in "Frequency Domain Analysis".
    menuAnswer = 2;
    dialogs.questions.clear();
    dialogs.answers = {"NO", "Load New Data"};
    choosers.folders.push_back(dir.path().string());
    chooseDataWhenAsked({1, 2, 3});
    window = openWindowOf("orvane");
    test::click(window, "radiobutton4");
    test::click(window, "pushbutton3");
    test::settle();
    EXPECT_EQ(ds.session.T, 2);
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "Frequency Domain Analysis" / "PhaseAnalysis.mat"));
    EXPECT_EQ(questionTexts().back(), "FSV Analysis Ended: Do you want?");
}

TEST_F(MainWindowTest, ErrorsDuringARunAreShownAndTheMainWindowComesBack)
{
    const fs::path bad = dir.path() / "bad.txt";
    std::ofstream(bad) << "1 2\n3 oops\n";
    const auto good = test::writeDataSets(dir.path(), 1);
    choosers.files = {test::chosen(good[0]), test::chosen(bad.string())};
    test::whenWindowOpens("loadata.fig", [](QWidget* w) {
        test::click(w, "pushbutton102");
        test::click(w, "pushbutton103");
        test::click(w, "pushbutton15");
    });
    test::click(window, "radiobutton3");
    test::click(window, "pushbutton3");
    test::settle();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("bad.txt"), std::string::npos) << dialogs.errors[0];
    EXPECT_NE(dialogs.errors[0].find("line 2"), std::string::npos) << dialogs.errors[0];
    ASSERT_NE(openWindowOf("orvane"), nullptr);
    EXPECT_TRUE(openWindowOf("orvane")->isVisible());

    // The domain is still chosen, and the next start shows the files chosen before: only the
    // faulty one needs replacing.
    window = openWindowOf("orvane");
    h = Handles(window);
    EXPECT_EQ(valueOf(h["radiobutton3"]), 1);
    EXPECT_EQ(enableOf(h["pushbutton3"]), Enable::On);
    fs::create_directories(dir.path() / "fixed");
    const auto fixed = test::writeDataSets(dir.path() / "fixed", 2);
    choosers.files = {test::chosen(fixed[1])};
    choosers.folders.push_back(dir.path().string());
    dialogs.answers = {"YES", "Load New Data"};
    std::string shown;
    test::whenWindowOpens("loadata.fig", [&shown](QWidget* w) {
        shown = stringOf(Handles(w)["edit101"]) + "|" + stringOf(Handles(w)["edit102"]);
        test::click(w, "pushbutton103");
        test::click(w, "pushbutton15");
    });
    test::click(window, "pushbutton3");
    test::settle();
    EXPECT_EQ(shown, good[0] + "|" + bad.string());
    EXPECT_EQ(dialogs.errors.size(), 1u);
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "Time Domain Analysis" / "MagnitudeAnalysis.mat"));
    // A finished run starts the next one afresh.
    EXPECT_EQ(valueOf(Handles(openWindowOf("orvane"))["radiobutton3"]), 0);
    for (const auto& f : ds.previousFiles) EXPECT_EQ(f, "");
}

// Files from a file manager (Exec=orvane %F): the main window, then the slots filled in
// order; a name that is not a file is still a function or a control.
TEST_F(MainWindowTest, FilesOnTheCommandLineFillTheSlots)
{
    deleteWindow(window);
    test::settle();
    const auto files = test::writeDataSets(dir.path(), 2);
    ASSERT_TRUE(orvane(ds, {fs::path(files[1]).filename().string(), files[0]}));  // relative to the current folder
    ASSERT_NE(openWindowOf("orvane"), nullptr);
    EXPECT_EQ(ds.previousFiles[0], files[1]);
    EXPECT_EQ(ds.previousFiles[1], files[0]);
    EXPECT_EQ(ds.previousFiles[2], "");
    EXPECT_FALSE(orvane(ds, {"no-such-function"}));
}

// The question closed without an answer leads back to the main window, never a hidden one.
TEST_F(MainWindowTest, ClosedEndQuestionShowsTheMainWindow)
{
    dialogs.answers = {"OK", ""};
    test::whenWindowOpens("loadata.fig", [](QWidget* w) { test::click(w, "pushbutton15"); });  // no data
    test::click(window, "radiobutton3");
    test::click(window, "pushbutton3");
    test::settle();
    EXPECT_EQ(questionTexts().front(), "Quit Program: Error Data Input: must be > #2");
    EXPECT_EQ(questionTexts().back(), "FSV Analysis Ended: Do you want?");
    ASSERT_NE(openWindowOf("orvane"), nullptr);
    EXPECT_TRUE(openWindowOf("orvane")->isVisible());
}

}  // namespace
}  // namespace orvane

// Every control a user can operate in a window's layout reaches one of that window's
// handlers, and every handler of a window belongs to a control of its layout: renaming a tag
// in a layout (or a handler in the code) without the other shows here instead of as a
// button that silently does nothing.
#include "desktop/callbacks.h"
#include "desktop/color_code_chart_window.h"
#include "desktop/desktop.h"
#include "desktop/layouts.h"
#include "desktop/loadata.h"
#include "desktop/main_window.h"
#include "desktop/results_window.h"
#include "support/recording.h"
#include "support/window_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {
namespace {

void expectClean(const std::string& window, const BindingCheck& check)
{
    EXPECT_TRUE(check.unhandled.empty()) << window << " has controls without a handler: "
                                         << ::testing::PrintToString(check.unhandled);
    EXPECT_TRUE(check.orphans.empty()) << window << " has handlers without a control: "
                                       << ::testing::PrintToString(check.orphans);
}

TEST(CallbackBinding, EveryWindowHandlesEachOperableControlAndNoMore)
{
    DesktopSession ds;
    test::ScriptedDialogs dialogs;
    ds.dialogs = &dialogs;
    ds.resultsPreparingPause = std::chrono::milliseconds(0);

    expectClean("main window", MainWindow::open(ds).binding());
    expectClean("data-loading window", DataLoadingWindow::open(ds).binding());
    ResultsWindow* results = ResultsWindow::open(ds);
    ASSERT_NE(results, nullptr);
    expectClean("results window", results->binding());
    expectClean("chart window", ChartWindow::open(ds).binding());

    // Each handler is reachable by name in its own window, as from the command line.
    EXPECT_EQ(windowWithCallback("pushbutton12_Callback"), ds.dataWindow->widget());
    EXPECT_EQ(windowWithCallback("pushbutton44_Callback"), results->widget());
    EXPECT_EQ(windowWithCallback("slider3_Callback"), ds.chartWindow->widget());
    EXPECT_EQ(windowWithCallback("radiobutton39_Callback"), nullptr);  // state only: no handler
    EXPECT_EQ(windowWithCallback("pushbutton44"), nullptr);            // not a handler name

    for (const char* layout : {"orvane", "loadata", "results", "ColorCodeChart"}) deleteWindow(openWindowOf(layout));
    test::settle();
    EXPECT_TRUE(dialogs.errors.empty());
}

}  // namespace
}  // namespace orvane

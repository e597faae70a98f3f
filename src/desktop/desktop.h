// The one shared state of the desktop program: the analysis session, who answers its
// dialogs and choosers, and the windows that are open. Every window gets it when it opens.
#pragma once

#include "analysis/dialogs.h"
#include "analysis/session.h"
#include "desktop/choosers.h"

#include <QPointer>

#include <array>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class MainWindow;
class DataLoadingWindow;
class ResultsWindow;
class ChartWindow;

class DesktopSession {
public:
    DesktopSession();   // answered by Qt's dialogs and choosers
    ~DesktopSession();  // deletes the windows still open: they refer to it
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    Session session;
    Dialogs* dialogs = nullptr;    // Qt dialogs in the program, a script in tests
    Choosers* choosers = nullptr;  // likewise
    // The choice menu; MenuFSV when not set (tests answer it from a script).
    std::function<int(const std::string& header, const std::vector<std::string>& items)> menu;
    // The files and domain of the last run that did not finish (an input error, a cancelled
    // folder), or files named on the command line: the next data-loading window shows them.
    std::array<std::string, kDataSlots> previousFiles;
    int previousDomain = -1;  // as Session::D; -1 none

    // How long the results window shows only its "preparing" text after opening.
    std::chrono::milliseconds resultsPreparingPause{2000};

    // The open windows; null when closed. Each window object lives as long as its widget.
    QPointer<MainWindow> mainWindow;
    QPointer<DataLoadingWindow> dataWindow;
    QPointer<ResultsWindow> resultsWindow;
    QPointer<ChartWindow> chartWindow;

    // Puts the Qt dialogs and choosers back (tests swap in scripted ones).
    void useQtDialogs();

private:
    std::unique_ptr<Dialogs> qtDialogs_;
    std::unique_ptr<Choosers> qtChoosers_;
};

}  // namespace orvane

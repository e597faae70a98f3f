// The state of the desktop program: the session globals, the window globals of the results
// and chart windows, and who answers the program's dialogs and choosers.
#pragma once

#include "analysis/dialogs.h"
#include "analysis/session.h"
#include "desktop/choosers.h"
#include "desktop/handles.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace orvane {

struct Desktop {
    Session session;
    Dialogs* dialogs = nullptr;    // Qt dialogs in the program, a script in tests
    Choosers* choosers = nullptr;  // likewise
    // The choice menu; MenuFSV when not set (tests answer it from a script).
    std::function<int(const std::string& header, const std::vector<std::string>& items)> menu;

    // The windows of the original-data plot and of its legend; null when none is open.
    QPointer<QWidget> FigOrig, FigOrig1, lgnd1;
    Handles handles1;  // the results window's controls
    Handles handles2;  // the chart window's controls
};

// The one desktop state of the process; its dialogs and choosers default to Qt's.
Desktop& desktop();

// Puts the Qt dialogs and choosers back (tests swap in scripted ones).
void useQtDialogs();

}  // namespace orvane

// The main window: choice of the domain, start of an analysis, browsing saved results,
// the read-me, quit.
#pragma once

#include <QWidget>

namespace orvane {

// orvane without arguments: records startFolder, opens (or shows again) the main window with
// its controls reset, and gives it back.
QWidget* openMainWindow();

void registerMainWindowCallbacks();

}  // namespace orvane

// Windows built from the Qt Designer layouts compiled into the program, one window per layout.
#pragma once

#include <QWidget>

#include <string>

namespace orvane {

// Opens the window of a layout ("orvane", "loadata.fig", "results.fig", "ColorCodeChart.fig",
// or the bare file name), or gives the open one back (shown again if hidden). The window is
// deleted when it is closed. Throws orvane::Error when the layout cannot be read.
QWidget* openLayout(const std::string& layout);

// The open window of a layout, or nullptr.
QWidget* openWindowOf(const std::string& layout);

// Hides the window and deletes it as soon as the event loop runs again (never inside the
// callback of one of its own controls); its layout can be opened anew at once.
void deleteWindow(QWidget* window);

// True once deleteWindow was called for it.
bool isGoing(const QWidget* window);

// The program ends when no window of it is visible any more after a window went away,
// once this is switched on (the tests leave it off).
void setQuitWhenNoWindowIsLeft(bool on);

// Lets Qt process pending events and redraw: the zero-length pause.
void pauseZero();

// Returns when the window no longer exists; the event loop serves every window meanwhile.
void waitUntilDeleted(QWidget* window);

}  // namespace orvane

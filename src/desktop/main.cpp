// orvane: the desktop program. Without arguments it opens the main window; a first argument
// names a function to run ("results", "ColorCodeChart", …).
#include "desktop/entry.h"
#include "desktop/layouts.h"

#include <QApplication>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    // No display at all: the windows cannot be shown; say so instead of aborting in Qt.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if ((!display || !*display) && (!wayland || !*wayland) && (!platform || !*platform)) {
        std::cerr << "orvane: no display is available; use orvane-batch to run an analysis without windows\n";
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setQuitOnLastWindowClosed(false);
    orvane::setQuitWhenNoWindowIsLeft(true);

    return orvane::runDesktop(std::vector<std::string>(argv + 1, argv + argc));
}

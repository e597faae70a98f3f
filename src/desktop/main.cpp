// orvane: the desktop program. Without arguments it opens the main window; a first argument
// names a function to run ("results", "ColorCodeChart", …).
#include "desktop/entry.h"
#include "desktop/layouts.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

// For `orvane --help` and help2man's manual page; no window is opened.
const char* const kHelp =
    "Usage: orvane [FUNCTION | FILE...]\n"
    "Rates the agreement of 2 to 8 data sets with the Feature Selective Validation method,\n"
    "in windows.\n"
    "\n"
    "Without arguments the main window opens; from there the data files are chosen and the\n"
    "analysis is run. FUNCTION opens one part directly: orvane, results, ColorCodeChart or\n"
    "loadata, or runs the handler of an open control (<tag>_Callback). Data files given as\n"
    "arguments (as a file manager does, up to 8) open the main window; after the domain is\n"
    "chosen, Start Analysis shows them in the data-loading window's slots.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "To run an analysis without windows, use orvane-batch.\n"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  1  no display is available\n"
    "  2  an unknown function name\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kHelp;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "orvane " ORVANE_VERSION "\n";
        return 0;
    }
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

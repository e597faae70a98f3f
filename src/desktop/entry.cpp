#include "desktop/entry.h"

#include "desktop/callbacks.h"
#include "desktop/color_code_chart_window.h"
#include "desktop/desktop.h"
#include "desktop/loadata.h"
#include "desktop/main_window.h"
#include "desktop/results_window.h"

#include <QApplication>

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>

namespace orvane {

namespace {

// The functions a text first argument can name, besides the handlers.
const std::map<std::string, std::function<void(DesktopSession&)>>& functions()
{
    static const std::map<std::string, std::function<void(DesktopSession&)>> table = {
        {"orvane", [](DesktopSession& ds) { MainWindow::open(ds); }},
        {"results", [](DesktopSession& ds) { ResultsWindow::open(ds); }},
        {"ColorCodeChart", [](DesktopSession& ds) { ChartWindow::open(ds); }},
        {"loadata", [](DesktopSession& ds) { DataLoadingWindow::run(ds); }},
    };
    return table;
}

}  // namespace

bool orvane(DesktopSession& ds, const std::vector<std::string>& arguments)
{
    if (arguments.empty()) {
        MainWindow::open(ds);
        return true;
    }
    // Data files handed over by a file manager (Exec=orvane %F): the main window, and the
    // data-loading window of the next start has them in its slots, in the order given.
    std::error_code ec;
    if (std::filesystem::is_regular_file(arguments.front(), ec)) {
        ds.previousFiles.fill(std::string());
        std::size_t slot = 0;
        for (const std::string& file : arguments) {
            if (slot == ds.previousFiles.size()) {
                std::cerr << "orvane: at most " << ds.previousFiles.size() << " data files; the others are left out\n";
                break;
            }
            ds.previousFiles[slot++] = std::filesystem::absolute(file, ec).string();
        }
        MainWindow::open(ds);
        return true;
    }
    const std::string& name = arguments.front();
    if (const auto it = functions().find(name); it != functions().end()) {
        it->second(ds);
        return true;
    }
    QWidget* window = windowWithCallback(name);
    return window && runCallback(window, name);
}

int runDesktop(const std::vector<std::string>& arguments)
{
    DesktopSession ds;
    if (!orvane(ds, arguments)) {
        std::cerr << "orvane: no function or open control is named \"" << arguments.front() << "\"\n";
        return 2;
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return QApplication::exec();
    return 0;
}

}  // namespace orvane

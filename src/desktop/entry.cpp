#include "desktop/entry.h"

#include "desktop/desktop.h"
#include "desktop/main_window.h"
#include "desktop/color_code_chart_window.h"
#include "desktop/callbacks.h"
#include "desktop/layouts.h"
#include "desktop/loadata.h"
#include "desktop/results_window.h"

#include <QApplication>

#include <functional>
#include <map>

namespace orvane {

namespace {

// The functions a text first argument can name, besides the callbacks.
const std::map<std::string, std::function<void()>>& functions()
{
    static const std::map<std::string, std::function<void()>> table = {
        {"orvane", [] { openMainWindow(); }},
        {"results", [] { results(); }},
        {"ColorCodeChart", [] { ColorCodeChart(); }},
        {"loadata", [] { loadata(desktop().session); }},
    };
    return table;
}

// The open window that has a control of this tag.
QWidget* windowWith(const std::string& tag)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (Handles(w).has(tag)) return w;
    return nullptr;
}

}  // namespace

void registerAllCallbacks()
{
    static bool done = false;
    if (done) return;
    done = true;
    registerMainWindowCallbacks();
    registerDataWindowCallbacks();
    registerResultsWindowCallbacks();
    registerChartWindowCallbacks();
    setCallbackErrorHandler([](const std::string&, const std::string& message) {
        desktop().dialogs->error(message, "Error");
    });
}

bool orvane(const std::vector<std::string>& arguments)
{
    registerAllCallbacks();
    if (arguments.empty()) {
        openMainWindow();
        return true;
    }
    const std::string& name = arguments.front();
    if (const auto it = functions().find(name); it != functions().end()) {
        it->second();
        return true;
    }
    const std::string suffix = "_Callback";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
        hasCallback(name)) {
        const std::string tag = name.substr(0, name.size() - suffix.size());
        QWidget* window = windowWith(tag);
        if (!window) return false;
        runCallback(name, handlesOf(window)[tag], handlesOf(window));
        return true;
    }
    return false;
}

}  // namespace orvane

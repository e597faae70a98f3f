// Routing of control callbacks by tag: each window binds its tags to its own handlers once,
// when its layout is loaded; "<tag>_Callback" then runs a handler by name, as the command
// line does.
#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace orvane {

// A handler gets the control that was operated.
using Handler = std::function<void(QWidget* control)>;
// Tag → handler of one window.
using HandlerTable = std::map<std::string, Handler>;

// What an error ending a handler becomes (the window's error dialog).
using ErrorReporter = std::function<void(const std::string& callback, const std::string& message)>;

// Controls a user operates: buttons, sliders, editable boxes and list boxes.
bool isOperable(const QWidget* control);

// Mismatches between a layout and its window's handlers, found when they are bound.
struct BindingCheck {
    std::vector<std::string> unhandled;  // operable controls without handler, not state-only
    std::vector<std::string> orphans;    // handlers whose tag the layout lacks
    bool clean() const { return unhandled.empty() && orphans.empty(); }
};

// Connects every tagged control of `window` that has a handler: buttons when clicked (radio
// buttons after the toggle), edit boxes when their text is committed, sliders when moved,
// list boxes when the selection changes. `stateOnly` names operable controls that only hold
// a choice other handlers read. A window is bound once; binding it again throws
// orvane::Error. An orvane::Error (or any std::exception) escaping a handler goes to
// `onError` instead of the event loop.
BindingCheck bindCallbacks(QWidget* window, HandlerTable handlers, const std::set<std::string>& stateOnly,
                           ErrorReporter onError);

// Runs the handler bound to "<tag>_Callback" in `window`; false when it has none.
bool runCallback(QWidget* window, const std::string& name);

// The open window whose bound handlers include `name`, or nullptr.
QWidget* windowWithCallback(const std::string& name);

}  // namespace orvane

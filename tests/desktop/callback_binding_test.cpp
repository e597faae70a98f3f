// Every control a user can operate in a layout reaches a handler, and every handler belongs
// to a control of some layout: renaming a tag in a layout (or a handler in the code) without
// the other shows here instead of as a button that silently does nothing.
#include "desktop/callbacks.h"
#include "desktop/entry.h"
#include "desktop/handles.h"
#include "desktop/layouts.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace orvane {
namespace {

bool operable(QWidget* w)
{
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSlider*>(w) ||
           (qobject_cast<QLineEdit*>(w) && !qobject_cast<QLineEdit*>(w)->isReadOnly()) ||
           qobject_cast<QListWidget*>(w);
}

// Selectors that hold a choice the window reads when one of its buttons acts; they have no
// handler of their own by design.
bool isStateSelector(const std::string& layout, const std::string& tag)
{
    // The results window's data-set boxes and its six plot choices.
    if (layout == "results" && tag.rfind("radiobutton", 0) == 0) return true;
    // The data-loading window's slot boxes show the chosen file; the Dataset buttons and a
    // dropped file fill them.
    return layout == "loadata" && tag.rfind("edit10", 0) == 0;
}

TEST(CallbackBinding, EveryOperableControlHasAHandlerAndEveryHandlerAControl)
{
    registerAllCallbacks();
    std::set<std::string> tagsOfAllLayouts;
    std::vector<std::string> unhandled;
    for (const std::string layout : {"orvane", "loadata", "results", "ColorCodeChart"}) {
        QWidget* window = openLayout(layout);
        const Handles h(window);
        for (const std::string& tag : h.tags()) {
            tagsOfAllLayouts.insert(tag);
            if (operable(h[tag]) && !hasCallback(tag + "_Callback") && !isStateSelector(layout, tag))
                unhandled.push_back(layout + ": " + tag);
        }
        window->hide();
        deleteWindow(window);
    }
    EXPECT_TRUE(unhandled.empty()) << ::testing::PrintToString(unhandled);

    std::vector<std::string> orphans;
    const std::string suffix = "_Callback";
    for (const std::string& name : callbackNames()) {
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;  // a window's own handler, such as its close request
        if (!tagsOfAllLayouts.count(name.substr(0, name.size() - suffix.size()))) orphans.push_back(name);
    }
    EXPECT_TRUE(orphans.empty()) << ::testing::PrintToString(orphans);
}

}  // namespace
}  // namespace orvane

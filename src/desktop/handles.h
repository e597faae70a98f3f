// The record of a window's controls: every tagged widget of the window by its tag.
#pragma once

#include "base/error.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

namespace orvane {

class Handles {
public:
    Handles() = default;
    // Every descendant of `window` with an object name, and the window itself.
    explicit Handles(QWidget* window);

    QWidget* window() const { return window_; }
    bool has(const std::string& tag) const;
    // The control of that tag; throws orvane::Error when the window has none (or it is gone).
    QWidget* operator[](const std::string& tag) const;
    template <class W> W* get(const std::string& tag) const
    {
        W* w = qobject_cast<W*>((*this)[tag]);
        if (!w) throw Error("The control \"" + tag + "\" is not of the expected kind.");
        return w;
    }
    std::vector<std::string> tags() const;

private:
    QPointer<QWidget> window_;
    std::map<std::string, QPointer<QWidget>> controls_;
};

}  // namespace orvane

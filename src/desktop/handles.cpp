#include "desktop/handles.h"

namespace orvane {

Handles::Handles(QWidget* window) : window_(window)
{
    if (!window) return;
    if (!window->objectName().isEmpty()) controls_[window->objectName().toStdString()] = window;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        // Qt names some of its inner widgets itself ("qt_spinbox_lineedit", …): not controls.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        controls_.emplace(name.toStdString(), w);
    }
}

bool Handles::has(const std::string& tag) const
{
    const auto it = controls_.find(tag);
    return it != controls_.end() && it->second;
}

QWidget* Handles::operator[](const std::string& tag) const
{
    const auto it = controls_.find(tag);
    if (it == controls_.end() || !it->second) throw Error("The window has no control \"" + tag + "\".");
    return it->second;
}

std::vector<std::string> Handles::tags() const
{
    std::vector<std::string> out;
    for (const auto& [tag, w] : controls_)
        if (w) out.push_back(tag);
    return out;
}

}  // namespace orvane

#include "desktop/handles.h"

#include <QVariant>

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

namespace {

// Holds a window's record as a child object, so it goes away with the window.
class HandlesHolder : public QObject {
public:
    HandlesHolder(QObject* parent, Handles h) : QObject(parent), handles(std::move(h))
    {
        setObjectName(QStringLiteral("orvane_attached_handles"));
    }
    Handles handles;
};

}  // namespace

void attachHandles(QWidget* window, const Handles& handles)
{
    if (!window) return;
    const auto old = window->findChildren<QObject*>(QStringLiteral("orvane_attached_handles"),
                                                    Qt::FindDirectChildrenOnly);
    for (QObject* o : old)
        if (auto* h = dynamic_cast<HandlesHolder*>(o)) {
            h->handles = handles;
            return;
        }
    new HandlesHolder(window, handles);
}

Handles handlesOf(const QWidget* window)
{
    if (!window) return {};
    const auto found = window->findChildren<QObject*>(QStringLiteral("orvane_attached_handles"),
                                                      Qt::FindDirectChildrenOnly);
    for (QObject* o : found)
        if (auto* h = dynamic_cast<HandlesHolder*>(o)) return h->handles;
    return Handles(const_cast<QWidget*>(window));
}

}  // namespace orvane

#include "desktop/callbacks.h"

#include "base/error.h"
#include "desktop/handles.h"
#include "desktop/layouts.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

#include <exception>

namespace orvane {

namespace {

const char* const kSuffix = "_Callback";
const QString kBindingName = QStringLiteral("orvane_bound_handlers");

// The handlers of a window, kept as its child so they go away with it.
class Binding : public QObject {
public:
    Binding(QWidget* window, HandlerTable t, ErrorReporter e)
        : QObject(window), handlers(std::move(t)), onError(std::move(e))
    {
        setObjectName(kBindingName);
    }
    HandlerTable handlers;
    ErrorReporter onError;
};

Binding* bindingOf(const QWidget* window)
{
    if (!window) return nullptr;
    for (QObject* o : window->findChildren<QObject*>(kBindingName, Qt::FindDirectChildrenOnly))
        if (auto* b = dynamic_cast<Binding*>(o)) return b;
    return nullptr;
}

// The tag of a handler name, or the empty text when it is not "<tag>_Callback".
std::string tagOf(const std::string& name)
{
    const std::string suffix = kSuffix;
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    return name.substr(0, name.size() - suffix.size());
}

void run(Binding& binding, const std::string& tag, QWidget* control)
{
    const auto it = binding.handlers.find(tag);
    if (it == binding.handlers.end()) return;
    const Handler handler = it->second;  // a copy: the handler may delete its window
    const ErrorReporter onError = binding.onError;
    const std::string name = tag + kSuffix;
    try {
        handler(control);
    } catch (const std::bad_alloc&) {
        if (onError) onError(name, "Not enough memory for this step.");
    } catch (const std::exception& e) {
        if (onError) onError(name, e.what());
    }
}

}  // namespace

bool isOperable(const QWidget* w)
{
    const auto* edit = qobject_cast<const QLineEdit*>(w);
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           (edit && !edit->isReadOnly()) || qobject_cast<const QListWidget*>(w) || qobject_cast<const QComboBox*>(w);
}

BindingCheck bindCallbacks(QWidget* window, HandlerTable handlers, const std::set<std::string>& stateOnly,
                           ErrorReporter onError)
{
    if (bindingOf(window)) throw Error("The window \"" + window->objectName().toStdString() + "\" is bound already.");
    const Handles h(window);
    BindingCheck check;
    for (const std::string& tag : h.tags())
        if (isOperable(h[tag]) && !handlers.count(tag) && !stateOnly.count(tag)) check.unhandled.push_back(tag);
    for (const auto& [tag, handler] : handlers)
        if (!h.has(tag)) check.orphans.push_back(tag + kSuffix);

    auto* binding = new Binding(window, std::move(handlers), std::move(onError));
    for (const auto& [tag, handler] : binding->handlers) {
        if (!h.has(tag)) continue;
        QWidget* control = h[tag];
        QPointer<Binding> b(binding);
        auto fire = [b, tag, control] {
            if (b) run(*b, tag, control);
        };
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            QObject::connect(button, &QAbstractButton::clicked, control, fire);
        } else if (auto* e = qobject_cast<QLineEdit*>(control)) {
            QObject::connect(e, &QLineEdit::editingFinished, control, [e, fire] {
                if (e->isModified()) {
                    e->setModified(false);
                    fire();
                }
            });
        } else if (auto* s = qobject_cast<QAbstractSlider*>(control)) {
            QObject::connect(s, &QAbstractSlider::valueChanged, control, fire);
        } else if (auto* l = qobject_cast<QListWidget*>(control)) {
            QObject::connect(l, &QListWidget::currentRowChanged, control, fire);
        } else if (auto* c = qobject_cast<QComboBox*>(control)) {
            // Only a choice the user makes; the program's own setCurrentIndex stays quiet.
            QObject::connect(c, &QComboBox::activated, control, fire);
        }
    }
    return check;
}

bool runCallback(QWidget* window, const std::string& name)
{
    Binding* binding = bindingOf(window);
    const std::string tag = tagOf(name);
    if (!binding || tag.empty() || !binding->handlers.count(tag)) return false;
    const Handles h(window);
    run(*binding, tag, h.has(tag) ? h[tag] : window);
    return true;
}

QWidget* windowWithCallback(const std::string& name)
{
    const std::string tag = tagOf(name);
    if (tag.empty()) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (const Binding* b = bindingOf(w); b && !isGoing(w) && b->handlers.count(tag) && Handles(w).has(tag)) return w;
    return nullptr;
}

}  // namespace orvane

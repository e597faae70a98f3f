#include "desktop/callbacks.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>

#include <exception>
#include <map>

namespace orvane {

namespace {

std::map<std::string, Callback>& table()
{
    static std::map<std::string, Callback> callbacks;
    return callbacks;
}

CallbackErrorHandler& errorHandler()
{
    static CallbackErrorHandler handler = [](const std::string&, const std::string& message) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QString::fromStdString(message),
                        QMessageBox::Ok);
        box.exec();
    };
    return handler;
}

}  // namespace

void registerCallback(const std::string& name, Callback callback) { table()[name] = std::move(callback); }

bool hasCallback(const std::string& name) { return table().count(name) != 0; }

std::vector<std::string> callbackNames()
{
    std::vector<std::string> names;
    for (const auto& entry : table()) names.push_back(entry.first);
    return names;
}

bool runCallback(const std::string& name, QWidget* control, const Handles& handles)
{
    const auto it = table().find(name);
    if (it == table().end()) return false;
    const Callback callback = it->second;  // a copy: the callback may register others
    try {
        callback(control, handles);
    } catch (const std::bad_alloc&) {
        errorHandler()(name, "Not enough memory for this step.");
    } catch (const std::exception& e) {
        errorHandler()(name, e.what());
    }
    return true;
}

void setCallbackErrorHandler(CallbackErrorHandler handler) { errorHandler() = std::move(handler); }

void connectCallbacks(QWidget* window)
{
    for (const std::string& tag : Handles(window).tags()) {
        const std::string name = tag + "_Callback";
        if (!hasCallback(name)) continue;
        QWidget* control = Handles(window)[tag];
        QPointer<QWidget> win(window);
        auto run = [name, control, win] {
            if (win) runCallback(name, control, handlesOf(win));
        };
        if (auto* b = qobject_cast<QAbstractButton*>(control)) {
            QObject::connect(b, &QAbstractButton::clicked, control, run);
        } else if (auto* e = qobject_cast<QLineEdit*>(control)) {
            QObject::connect(e, &QLineEdit::editingFinished, control, [e, run] {
                if (e->isModified()) {
                    e->setModified(false);
                    run();
                }
            });
        } else if (auto* s = qobject_cast<QAbstractSlider*>(control)) {
            QObject::connect(s, &QAbstractSlider::valueChanged, control, run);
        } else if (auto* l = qobject_cast<QListWidget*>(control)) {
            QObject::connect(l, &QListWidget::currentRowChanged, control, run);
        }
    }
}

}  // namespace orvane

#include "desktop/late_clicks.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>

namespace orvane {

IgnoreClicksAtFirst::IgnoreClicksAtFirst(QWidget* window, std::chrono::milliseconds span)
    : QObject(window), window_(window), until_(std::chrono::steady_clock::now() + span)
{
    // On the application: the clicks go to the window's buttons, not to the window itself.
    qApp->installEventFilter(this);
}

IgnoreClicksAtFirst::~IgnoreClicksAtFirst() { qApp->removeEventFilter(this); }

std::chrono::milliseconds IgnoreClicksAtFirst::doubleClickInterval()
{
    return std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

bool IgnoreClicksAtFirst::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    if (std::chrono::steady_clock::now() >= until_) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && window_ && widget->window() == window_;
}

}  // namespace orvane

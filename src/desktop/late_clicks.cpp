#include "desktop/late_clicks.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>
#include <QWindow>

namespace orvane {

IgnoreClicksAtFirst::IgnoreClicksAtFirst(QWidget* window, std::chrono::milliseconds span)
    : QObject(window), window_(window), span_(span), until_(std::chrono::steady_clock::now() + span)
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
    // Counted from when the window shows: a dialog that takes long to build would otherwise
    // meet the queued second click after the span is over.
    if (type == QEvent::Show && watched == window_) until_ = std::chrono::steady_clock::now() + span_;
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    if (std::chrono::steady_clock::now() >= until_ || !window_) return false;
    // Taken at the window, before Qt hands the press to a widget: by then the press would
    // already have moved the focus (to "Cancel", which the next Return would press).
    if (auto* surface = qobject_cast<QWindow*>(watched)) return surface == window_->windowHandle();
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == window_;
}

}  // namespace orvane

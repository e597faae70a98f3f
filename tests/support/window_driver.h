// Helpers for driving windows in tests while a callback waits in a nested event loop.
#pragma once

#include "desktop/handles.h"
#include "desktop/layouts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

namespace orvane::test {

// Runs `action` with the window of `layout` as soon as it is open and shown (polling from
// the event loop, so it works inside modal waits). Gives up after `timeoutMs`.
inline void whenWindowOpens(const std::string& layout, std::function<void(QWidget*)> action, int timeoutMs = 20000)
{
    auto timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, layout, action = std::move(action), timeoutMs] {
        QWidget* w = openWindowOf(layout);
        if (w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(w);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// Clicks the tagged button of a window (as the user does: the toggle, then the callback).
inline void click(QWidget* window, const std::string& tag) { Handles(window).get<QAbstractButton>(tag)->click(); }

// Lets deferred deletions and queued events run.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

}  // namespace orvane::test

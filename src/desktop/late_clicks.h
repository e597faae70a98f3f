// A window that opens under the pointer must not take the clicks meant for the window before
// it: the second click of a double click on "Done" would land on the next dialog's button.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>

namespace orvane {

// Swallows mouse presses, releases and double clicks on `window` during `span` after it is
// shown (by default the system's double-click interval). Lives as the window's child.
class IgnoreClicksAtFirst : public QObject {
public:
    explicit IgnoreClicksAtFirst(QWidget* window, std::chrono::milliseconds span = doubleClickInterval());
    ~IgnoreClicksAtFirst() override;
    static std::chrono::milliseconds doubleClickInterval();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    std::chrono::milliseconds span_;
    std::chrono::steady_clock::time_point until_;
};

}  // namespace orvane

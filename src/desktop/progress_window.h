// multibar: the progress window of a job made of named stages; gui_center places windows.
#pragma once

#include "analysis/driver.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace orvane {

// (x, y, w, h) in pixels, y counted from the screen's lower edge as the window geometry rules
// give it. A 2-element size (w, h) is placed at x = (screen w − w)/2, y = (screen h − h)/4;
// a 4-element position keeps its size and is centred. Any other length throws orvane::Error
// "Wrong type or length for pos".
std::array<double, 4> gui_center(const std::vector<double>& size);

// The screen size the geometry rules use (the primary screen's available size).
std::array<double, 2> screenSize();

// Puts w's inner area at pos (x, y, w, h), in pixels with y from the screen's lower edge.
void placeWindow(QWidget& w, const std::array<double, 4>& pos);

class ProgressWindow : public Progress {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    ProgressWindow(const std::vector<std::string>& stages, const std::string& title, Clock clock = {});
    ~ProgressWindow() override;  // closes the window if it is still open

    // multibar(window, i, x): stage i current, fraction x of it shown (x > 1 wraps). The
    // percentage always matches the bar; the time left shows once two estimates agree.
    void update(int bar, double fraction) override;
    // multibar(window, i): stage i current, bar hidden.
    void update(int bar);

    // The user cannot close it; null once it was deleted otherwise, and updates then do nothing.
    QWidget* window() const { return window_; }
    std::string timeText() const;     // text 2
    std::string percentText() const;  // text 3

private:
    using TimePoint = std::chrono::steady_clock::time_point;

    void recolour(int bar);
    void setBar(double fraction);  // 0 hides it
    void refreshTexts(double progress, TimePoint now);
    void startVisit(int bar, double fraction, TimePoint now);

    Clock clock_;
    QPointer<QWidget> window_;
    // Children of window_, so valid exactly as long as window_ is not null.
    std::vector<QLabel*> labels_;
    QWidget* axes_ = nullptr;
    QWidget* bar_ = nullptr;
    std::array<QLabel*, 3> texts_{};
    std::string timeText_, percentText_;  // kept so they can be read after the window is gone
    // The current stage since it (last) became current: the estimate's rate is measured there.
    int stage_ = 0;
    TimePoint visitStart_, lastText_;
    double visitFraction_ = 0;
    std::optional<std::pair<double, TimePoint>> lastEstimate_;  // seconds left, and when
    bool stable_ = false;
};

// multibar(names, title): a new progress window, shown.
std::unique_ptr<ProgressWindow> multibar(const std::vector<std::string>& names, const std::string& title);

}  // namespace orvane

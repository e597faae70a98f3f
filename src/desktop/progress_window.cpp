#include "desktop/progress_window.h"

#include "base/error.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace orvane {

namespace {

constexpr int kWidth = 300;
constexpr double kUpdateRate = 0.1;  // seconds between rewrites of the time estimate
constexpr double kSettling = 0.5;    // seconds of a stage before its rate is trusted
constexpr double kAgreement = 0.25;  // relative change between estimates still called stable

QRect availableArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) throw Error("No screen to place the window on");
    return screen->availableGeometry();
}

// Geometry rows give y from the lower edge of the parent; Qt counts from the top.
void placeChild(QWidget* w, int parentHeight, int x, int y, int width, int height)
{
    w->setGeometry(x, parentHeight - y - height, width, height);
}

void setColour(QWidget* w, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = w->palette();
    palette.setColor(role, colour);
    w->setPalette(palette);
}

// The estimate row's texts share one font: the window's, made smaller until the longest
// texts fit their boxes (the boxes are narrow for the usual desktop fonts).
QFont fittedFont(QFont font, double text1Width, double text2Width, double text3Width)
{
    const double start = font.pointSizeF() > 0 ? font.pointSizeF() : 9;
    for (double size = start; size > 6; size -= 0.5) {
        font.setPointSizeF(size);
        const QFontMetricsF m(font);
        if (m.horizontalAdvance(QStringLiteral("Estimated time remaining:")) <= text1Width &&
            m.horizontalAdvance(QStringLiteral("00:00:00.0 (hh:mm:ss.t)")) <= text2Width &&
            m.horizontalAdvance(QStringLiteral("100%")) <= text3Width)
            return font;
    }
    font.setPointSizeF(6);
    return font;
}

std::string remainingText(double estimated)
{
    static const std::string unit = " (hh:mm:ss.t)";
    if (!std::isfinite(estimated) || estimated < 0) return "--:--:--.-" + unit;
    const double hours = std::floor(estimated / 3600);
    const double minutes = std::floor((estimated - 3600 * hours) / 60);
    const double seconds = std::floor(estimated - 3600 * hours - 60 * minutes);
    const double tenths = std::floor(10 * (estimated - std::floor(estimated)));
    // Doubles all the way: an estimate near a zero fraction can exceed every integer type.
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%02.0f:%02.0f:%02.0f.%.0f", hours, minutes, seconds, tenths);
    return buffer + unit;
}

class RefuseClose : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        return true;
    }
};

}  // namespace

std::array<double, 2> screenSize()
{
    const QRect area = availableArea();
    return {double(area.width()), double(area.height())};
}

std::array<double, 4> gui_center(const std::vector<double>& size)
{
    const auto [width, height] = screenSize();
    if (size.size() == 2) return {(width - size[0]) / 2, (height - size[1]) / 4, size[0], size[1]};
    if (size.size() == 4) return {(width - size[2]) / 2, (height - size[3]) / 2, size[2], size[3]};
    throw Error("Wrong type or length for pos");
}

void placeWindow(QWidget& w, const std::array<double, 4>& pos)
{
    const QRect area = availableArea();
    const int left = area.x() + int(std::lround(pos[0]));
    const int top = area.y() + int(std::lround(area.height() - pos[1] - pos[3]));
    w.setGeometry(left, top, int(std::lround(pos[2])), int(std::lround(pos[3])));
}

ProgressWindow::ProgressWindow(const std::vector<std::string>& stages, const std::string& title, Clock clock)
    : clock_(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); }))
{
    const int n = int(stages.size());
    const int height = 25 * n + 65;

    window_ = new QWidget;
    window_->setObjectName(QStringLiteral("multibar"));
    window_->setWindowTitle(QString::fromStdString(title));
    // The owner may outlive the window; QPointer tells it when the user closed it.
    // Not closable while the job runs (its owner deletes it): a hidden window would leave the
    // user with no sign of the work going on.
    window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window_->installEventFilter(new RefuseClose(window_));
    window_->setFixedSize(kWidth, height);
    window_->setAutoFillBackground(true);
    setColour(window_, QPalette::Window, QApplication::palette().color(QPalette::Window));
    placeWindow(*window_, gui_center({double(kWidth), double(height)}));

    const QColor grey = QColor::fromRgbF(0.5, 0.5, 0.5);
    for (int i = 1; i <= n; ++i) {
        auto* label = new QLabel(QString::number(i) + ". " + QString::fromStdString(stages[i - 1]), window_);
        label->setObjectName(QStringLiteral("ht%1").arg(i));
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        placeChild(label, height, 10, height - 25 * i - 10, kWidth - 20, 23);
        setColour(label, QPalette::WindowText, grey);
        labels_.push_back(label);
    }

    auto* axes = new QFrame(window_);
    axes->setObjectName(QStringLiteral("ax"));
    axes->setFrameShape(QFrame::Box);
    axes->setLineWidth(1);
    axes->setAutoFillBackground(true);
    setColour(axes, QPalette::Window, Qt::white);
    setColour(axes, QPalette::WindowText, Qt::black);  // the box
    placeChild(axes, height, 10, height - 25 * n - 30, kWidth - 60, 20);
    axes_ = axes;

    bar_ = new QWidget(axes_);
    bar_->setObjectName(QStringLiteral("hbar"));
    bar_->setAutoFillBackground(true);
    setColour(bar_, QPalette::Window, QColor::fromRgbF(1, 0, 0));
    setBar(0);

    // Text 1 reaches at least to text 2, and text 3 keeps its right edge but may use the free
    // space back to the bar axes: "100%" does not fit 25 pixels in a readable font.
    const struct {
        const char* text;
        int x, y, w, h;
        Qt::Alignment align;
    } texts[3] = {
        {"Estimated time remaining: ", 10, 5, std::max(height - 20, 125), 20, Qt::AlignLeft},
        {"", 135, 5, 155, 20, Qt::AlignLeft},
        {"", kWidth - 48, height - 25 * n - 33, 33, 20, Qt::AlignRight},
    };
    const QFont rowFont = fittedFont(window_->font(), 125, texts[1].w, texts[2].w);
    for (int k = 0; k < 3; ++k) {
        auto* text = new QLabel(QString::fromUtf8(texts[k].text), window_);
        text->setObjectName(QStringLiteral("text%1").arg(k + 1));
        text->setAlignment(texts[k].align | Qt::AlignVCenter);
        text->setFont(rowFont);
        placeChild(text, height, texts[k].x, texts[k].y, texts[k].w, texts[k].h);
        setColour(text, QPalette::WindowText, Qt::black);
        texts_[k] = text;
    }

    visitStart_ = lastText_ = clock_();
}

ProgressWindow::~ProgressWindow()
{
    delete window_.data();
}

void ProgressWindow::update(int bar, double fraction)
{
    if (!window_) return;
    if (fraction > 1) fraction = std::fmod(fraction, 1.0);
    if (!(fraction >= 0)) fraction = 0;  // negative or not a number: nothing to show
    const TimePoint now = clock_();
    if (bar != stage_) startVisit(bar, fraction, now);
    recolour(bar);
    if (fraction == 0) {
        setBar(0);
    } else {
        // The caller computes on this thread: this is the window's only chance to redraw.
        QCoreApplication::processEvents();
        if (!window_) return;  // deleted meanwhile
        setBar(fraction);
    }
    refreshTexts(fraction, now);
}

void ProgressWindow::update(int bar)
{
    if (!window_) return;
    recolour(bar);
    setBar(0);
    startVisit(bar, 0, clock_());
    percentText_.clear();
    texts_[2]->clear();
}

void ProgressWindow::startVisit(int bar, double fraction, TimePoint now)
{
    stage_ = bar;
    visitStart_ = now;
    visitFraction_ = fraction;
    lastEstimate_.reset();
    stable_ = false;
    // A new stage has no estimate until its own one settles.
    timeText_ = remainingText(HUGE_VAL);
    if (texts_[1]) texts_[1]->setText(QString::fromStdString(timeText_));
}

std::string ProgressWindow::timeText() const
{
    return timeText_;
}

std::string ProgressWindow::percentText() const
{
    return percentText_;
}

void ProgressWindow::recolour(int bar)
{
    const QColor grey = QColor::fromRgbF(0.5, 0.5, 0.5);
    const QColor red = QColor::fromRgbF(1, 0, 0);
    for (int i = 1; i <= int(labels_.size()); ++i) {
        QLabel* label = labels_[i - 1];
        setColour(label, QPalette::WindowText, i < bar ? QColor(Qt::black) : i == bar ? red : grey);
        QFont font = label->font();
        font.setBold(i == bar);
        label->setFont(font);
    }
}

void ProgressWindow::setBar(double fraction)
{
    const QRect inside = axes_->contentsRect();
    bar_->setGeometry(inside.x(), inside.y(), int(std::lround(fraction * inside.width())), inside.height());
    bar_->setVisible(fraction > 0);
}

void ProgressWindow::refreshTexts(double progress, TimePoint now)
{
    using Seconds = std::chrono::duration<double>;
    // The percentage is the bar's, always: it is written whenever the bar moves.
    percentText_ = std::to_string(int(std::floor(100 * progress))) + "%";
    texts_[2]->setText(QString::fromStdString(percentText_));

    if (progress == 1) {
        timeText_ = remainingText(0);
    } else {
        if (Seconds(now - lastText_).count() < kUpdateRate) return;
        // The rate of this visit of the stage: its earlier visits and the stages before it
        // ran at other speeds.
        const double spent = Seconds(now - visitStart_).count();
        const double done = progress - visitFraction_;
        std::optional<double> estimate;
        if (spent >= kSettling && done > 0) estimate = (1 - progress) * spent / done;
        // Stable: it agrees with the previous estimate, counted down by the time since.
        if (estimate && lastEstimate_) {
            const double expected = lastEstimate_->first - Seconds(now - lastEstimate_->second).count();
            if (std::abs(*estimate - expected) <= std::max(kAgreement * std::abs(expected), 0.2)) stable_ = true;
        }
        lastEstimate_.reset();
        if (estimate) lastEstimate_ = std::make_pair(*estimate, now);
        timeText_ = remainingText(stable_ && estimate ? *estimate : HUGE_VAL);
    }
    lastText_ = now;
    texts_[1]->setText(QString::fromStdString(timeText_));
    setColour(texts_[1], QPalette::WindowText, Qt::black);
}

std::unique_ptr<ProgressWindow> multibar(const std::vector<std::string>& names, const std::string& title)
{
    auto progress = std::make_unique<ProgressWindow>(names, title);
    progress->window()->show();
    return progress;
}

}  // namespace orvane

#include "desktop/progress_window.h"

#include "base/error.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

namespace orvane {
namespace {

using namespace std::chrono_literals;

const std::vector<std::string> kStages = {"Computing High/Low Array", "Saving date on HD", "Computing FSV output"};

// A clock the test moves by hand.
struct ManualClock {
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    ProgressWindow::Clock clock()
    {
        return [this] { return now; };
    }
};

QLabel* label(const ProgressWindow& p, const QString& name)
{
    return p.window()->findChild<QLabel*>(name);
}

QWidget* bar(const ProgressWindow& p)
{
    return p.window()->findChild<QWidget*>(QStringLiteral("hbar"));
}

int axesWidth(const ProgressWindow& p)
{
    return p.window()->findChild<QFrame*>(QStringLiteral("ax"))->contentsRect().width();
}

TEST(ProgressWindow, ThreeStagesLayOutAt300By140)
{
    ProgressWindow p(kStages, "Orvane ver. 1.0.0");
    QWidget* w = p.window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), "multibar");
    EXPECT_EQ(w->windowTitle(), "Orvane ver. 1.0.0");
    EXPECT_EQ(w->size(), QSize(300, 140));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());  // not resizable

    // Rows are given from the lower edge; in Qt's top-down terms label i starts at 25·i − 13.
    EXPECT_EQ(label(p, "ht1")->geometry(), QRect(10, 12, 280, 23));
    EXPECT_EQ(label(p, "ht3")->geometry(), QRect(10, 62, 280, 23));
    EXPECT_EQ(label(p, "ht1")->text(), "1. Computing High/Low Array");
    EXPECT_EQ(label(p, "ht3")->text(), "3. Computing FSV output");
    EXPECT_EQ(w->findChild<QFrame*>("ax")->geometry(), QRect(10, 85, 240, 20));
    EXPECT_EQ(label(p, "text1")->geometry(), QRect(10, 115, 125, 20));
    EXPECT_EQ(label(p, "text2")->geometry(), QRect(135, 115, 155, 20));
    EXPECT_EQ(label(p, "text3")->geometry().right(), 284);  // right aligned up to x = 285
    EXPECT_EQ(label(p, "text3")->geometry().top(), 88);
    EXPECT_TRUE(label(p, "text3")->alignment() & Qt::AlignRight);
    // The estimate row's texts fit their boxes.
    const QFontMetrics row(label(p, "text1")->font());
    EXPECT_LE(row.horizontalAdvance("Estimated time remaining:"), label(p, "text2")->x() - 10);
    EXPECT_LE(row.horizontalAdvance("100%"), label(p, "text3")->width());

    EXPECT_EQ(label(p, "text1")->text(), "Estimated time remaining: ");
    EXPECT_TRUE(label(p, "text2")->text().isEmpty());
    EXPECT_TRUE(label(p, "text3")->text().isEmpty());
    EXPECT_FALSE(bar(p)->isVisibleTo(w));

    // Centred across, a quarter of the free height up from the screen's lower edge.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_NEAR(w->x() - screen.x(), (screen.width() - 300) / 2.0, 0.5);
    const double y = (screen.height() - 140) / 4.0;
    EXPECT_NEAR(screen.bottom() + 1 - (w->y() + 140), y, 0.5);
}

TEST(ProgressWindow, LabelsShowWhichStageIsCurrent)
{
    ProgressWindow p(kStages, "t");
    const QColor grey = QColor::fromRgbF(0.5, 0.5, 0.5);
    for (const char* name : {"ht1", "ht2", "ht3"}) {
        EXPECT_EQ(label(p, name)->palette().color(QPalette::WindowText), grey) << name;
        EXPECT_FALSE(label(p, name)->font().bold()) << name;
    }

    p.update(2, 0.3);
    EXPECT_EQ(label(p, "ht1")->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_FALSE(label(p, "ht1")->font().bold());
    EXPECT_EQ(label(p, "ht2")->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(label(p, "ht2")->font().bold());
    EXPECT_EQ(label(p, "ht3")->palette().color(QPalette::WindowText), grey);
    EXPECT_FALSE(label(p, "ht3")->font().bold());

    // Going on to the last stage without a fraction: the earlier ones turn black, none stays bold.
    p.update(3);
    EXPECT_EQ(label(p, "ht2")->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_FALSE(label(p, "ht2")->font().bold());
    EXPECT_TRUE(label(p, "ht3")->font().bold());
    EXPECT_FALSE(bar(p)->isVisibleTo(p.window()));
}

TEST(ProgressWindow, BarShowsTheFractionOfTheStage)
{
    ProgressWindow p(kStages, "t");
    const int full = axesWidth(p);

    p.update(1, 0.25);
    EXPECT_TRUE(bar(p)->isVisibleTo(p.window()));
    EXPECT_EQ(bar(p)->width(), qRound(0.25 * full));

    p.update(1, 1.5);  // wraps round to 0.5
    EXPECT_EQ(bar(p)->width(), qRound(0.5 * full));

    p.update(1, 1);
    EXPECT_EQ(bar(p)->width(), full);

    p.update(2, 0);
    EXPECT_FALSE(bar(p)->isVisibleTo(p.window()));
    p.update(2, 0.1);
    EXPECT_TRUE(bar(p)->isVisibleTo(p.window()));
    p.update(2);
    EXPECT_FALSE(bar(p)->isVisibleTo(p.window()));
}

// The percentage always is the bar's; the time left appears only once two estimates of the
// current stage agree, and a new stage starts without one.
TEST(ProgressWindow, PercentFollowsTheBarAndTheEstimateShowsOnceStable)
{
    ManualClock t;
    ProgressWindow p(kStages, "t", t.clock());
    const std::string none = "--:--:--.- (hh:mm:ss.t)";

    p.update(1, 0.1);
    EXPECT_EQ(p.percentText(), "10%");
    EXPECT_EQ(p.timeText(), none);
    t.now += 1s;
    p.update(1, 0.2);  // 8 s left at this rate, but nothing to compare with yet
    EXPECT_EQ(p.timeText(), none);
    t.now += 1s;
    p.update(1, 0.3);  // 7 s left: the 8 s of a second ago, counted down
    EXPECT_EQ(p.timeText(), "00:00:07.0 (hh:mm:ss.t)");
    EXPECT_EQ(label(p, "text2")->text(), "00:00:07.0 (hh:mm:ss.t)");
    EXPECT_EQ(label(p, "text3")->text(), "30%");

    // Faster than the texts' rate: the percentage still follows the bar at once.
    t.now += 50ms;
    p.update(1, 1.35);  // wraps round to 0.35
    EXPECT_EQ(p.percentText(), "35%");
    EXPECT_EQ(bar(p)->width(), qRound(0.35 * axesWidth(p)));
    EXPECT_EQ(p.timeText(), "00:00:07.0 (hh:mm:ss.t)");

    p.update(1, 1);
    EXPECT_EQ(p.percentText(), "100%");
    EXPECT_EQ(p.timeText(), "00:00:00.0 (hh:mm:ss.t)");
    // The next stage at 10 %: never "100%" or a stale estimate beside that bar.
    p.update(2, 0.1);
    EXPECT_EQ(label(p, "text3")->text(), "10%");
    EXPECT_EQ(label(p, "text2")->text().toStdString(), none);

    // Estimates that jump (1.25 s, then 2.3 s a second later) are not shown.
    p.update(3, 0.1);
    t.now += 1s;
    p.update(3, 0.5);
    t.now += 1s;
    p.update(3, 0.52);
    EXPECT_EQ(p.timeText(), none);

    // Back to an earlier stage: its estimate is measured afresh from there. Hours format.
    p.update(2, 0);
    EXPECT_EQ(p.percentText(), "0%");
    t.now += 1000s;
    p.update(2, 0.2);
    t.now += 1000s;
    p.update(2, 0.4);
    EXPECT_EQ(p.timeText(), "00:50:00.0 (hh:mm:ss.t)");
}

TEST(ProgressWindow, TheUserCannotCloseItWhileItWorks)
{
    ManualClock t;
    ProgressWindow p(kStages, "t", t.clock());
    p.window()->show();
    EXPECT_FALSE(p.window()->close());
    EXPECT_TRUE(p.window()->isVisible());
    EXPECT_FALSE(p.window()->windowFlags() & Qt::WindowCloseButtonHint);

    // Deleted by others while the update pauses for a redraw: later updates do nothing.
    QTimer::singleShot(0, p.window(), [&p] { delete p.window(); });
    p.update(1, 0.5);
    EXPECT_EQ(p.window(), nullptr);
    t.now += 1s;
    p.update(2, 0.5);
    p.update(3);
    p.update(3, 1);
    EXPECT_EQ(p.percentText(), "");
}

TEST(ProgressWindow, OwnerTakesItsWindowAlong)
{
    auto p = multibar(kStages, "t");
    QPointer<QWidget> w = p->window();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    p.reset();
    EXPECT_TRUE(w.isNull());
}

TEST(GuiCenter, PlacesBySizeOrPosition)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const auto [sw, sh] = screenSize();
    EXPECT_EQ(sw, area.width());
    EXPECT_EQ(sh, area.height());

    const std::array<double, 4> bySize{(sw - 300) / 2, (sh - 140) / 4, 300, 140};
    EXPECT_EQ(gui_center({300, 140}), bySize);
    // A full position keeps its size and is centred both ways; its own x and y do not count.
    const std::array<double, 4> byPosition{(sw - 200) / 2, (sh - 100) / 2, 200, 100};
    EXPECT_EQ(gui_center({7, 9, 200, 100}), byPosition);

    for (std::size_t length : {0, 1, 3, 5}) {
        try {
            gui_center(std::vector<double>(length, 100));
            ADD_FAILURE() << "length " << length << " accepted";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Wrong type or length for pos");
        }
    }
}

}  // namespace
}  // namespace orvane

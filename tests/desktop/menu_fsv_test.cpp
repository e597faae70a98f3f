#include "desktop/menu_fsv.h"

#include "desktop/progress_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>

namespace orvane {
namespace {

const std::vector<std::string> kItems = {"Magnitude", "Phase"};

const char* const kMenu =
    "\n"
    "---------- Frequency Domain Analysis ----------\n"
    "\n"
    "      1) Magnitude\n"
    "      2) Phase\n"
    "\n"
    "Select a menu number: ";

struct Console {
    int choice;
    std::string output;
};

Console ask(const std::string& typed, const std::vector<std::string>& items = kItems)
{
    std::istringstream in(typed);
    std::ostringstream out;
    const int choice = local_ASCIImenu("Frequency Domain Analysis", items, in, out);
    return {choice, out.str()};
}

int count(const std::string& text, const std::string& piece)
{
    int n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

TEST(ConsoleMenu, RefusedAnswerShowsTheMenuAgain)
{
    const Console c = ask("3\n2\n");
    EXPECT_EQ(c.choice, 2);
    EXPECT_EQ(c.output, std::string(kMenu) + "\nSelection out of range. Try again.\n" + kMenu);
}

TEST(ConsoleMenu, OnlyAWholeNumberOfAnItemIsTaken)
{
    const Console c = ask("0\n3\nabc\n\nnan\ninf\n-1\n1.5\n2x\n0x1\n2\n");
    EXPECT_EQ(c.choice, 2);
    EXPECT_EQ(count(c.output, "Selection out of range. Try again."), 10);
    EXPECT_EQ(count(c.output, "Select a menu number: "), 11);

    EXPECT_EQ(ask("  2 \r\n").choice, 2);
    EXPECT_EQ(ask("+1\n").choice, 1);
    EXPECT_EQ(ask("2.0\n").choice, 2);
    EXPECT_EQ(ask("1e0\n").choice, 1);
}

TEST(ConsoleMenu, EndOfInputCountsAsClosed)
{
    EXPECT_EQ(ask("").choice, 0);
    const Console c = ask("7\n");
    EXPECT_EQ(c.choice, 0);
    EXPECT_EQ(count(c.output, "Select a menu number: "), 2);
    // A last answer without a line end is still an answer.
    EXPECT_EQ(ask("2").choice, 2);
}

TEST(MenuFSV, NoItemsNoQuestion)
{
    testing::internal::CaptureStdout();
    const int choice = MenuFSV("Frequency Domain Analysis", {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "MENU: No menu items to choose from.\n");
    EXPECT_EQ(choice, 0);
}

TEST(MenuFSV, WithoutADisplayAsksOnTheConsole)
{
    const char* display = std::getenv("DISPLAY");
    const std::optional<std::string> saved = display ? std::optional<std::string>(display) : std::nullopt;
    setenv("DISPLAY", "", 1);
    std::istringstream typed("2\n");
    std::streambuf* keyboard = std::cin.rdbuf(typed.rdbuf());
    testing::internal::CaptureStdout();
    const int choice = MenuFSV("Frequency Domain Analysis", kItems);
    const std::string shown = testing::internal::GetCapturedStdout();
    std::cin.rdbuf(keyboard);
    saved ? setenv("DISPLAY", saved->c_str(), 1) : unsetenv("DISPLAY");
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(shown, kMenu);
}

TEST(MenuGeometry, TwoItemsStackInOneColumn)
{
    // Texts 60 × 12 pt give 110 × 24 pt buttons.
    const MenuGeometry g = menuGeometry(60, 12, 70, 14, 2, 800);
    EXPECT_EQ(g.rows, 2);
    EXPECT_EQ(g.columns, 1);
    const std::array<double, 4> window{15, 800 - (142 + 50), 180, 142};
    EXPECT_EQ(g.window, window);
    ASSERT_EQ(g.buttons.size(), 2u);
    const std::array<double, 4> first{35, 64, 110, 24}, second{35, 35, 110, 24}, header{35, 93, 110, 14};
    EXPECT_EQ(g.buttons[0], first);  // the top row
    EXPECT_EQ(g.buttons[1], second);
    EXPECT_EQ(g.header, header);

    // Short texts: the window keeps its least width, or the header's if that is wider, with
    // the buttons centred.
    EXPECT_EQ(menuGeometry(20, 12, 70, 14, 2, 800).window[2], 2 * 35 + 80);
    const MenuGeometry wide = menuGeometry(20, 12, 150, 14, 2, 800);
    EXPECT_EQ(wide.window[2], 2 * 35 + 150);
    EXPECT_EQ(wide.header[2], 150);
    EXPECT_EQ(wide.buttons[0][0], 35 + (150 - 70) / 2);
}

TEST(MenuGeometry, ManyItemsFillColumnsAsHighAsTheScreenAllows)
{
    // Open space 300 − 50 − 70 − 14 = 166 pt holds 5 rows of 24 + 5 pt.
    const MenuGeometry g = menuGeometry(60, 12, 70, 14, 23, 300);
    EXPECT_EQ(g.rows, 5);
    EXPECT_EQ(g.columns, 5);
    EXPECT_EQ(g.window[2], 5 * 110 + 4 * 5 + 70);
    EXPECT_EQ(g.window[3], 5 * 29 + 14 + 70);
    const std::array<double, 4> seventh{35 + 115, 35 + 3 * 29, 110, 24};  // column 2, row 2
    EXPECT_EQ(g.buttons[6], seventh);
    const std::array<double, 4> last{35 + 4 * 115, 35 + 2 * 29, 110, 24};  // column 5, row 3
    EXPECT_EQ(g.buttons[22], last);

    // No room at all still gives one row.
    const MenuGeometry flat = menuGeometry(60, 12, 70, 14, 4, 100);
    EXPECT_EQ(flat.rows, 1);
    EXPECT_EQ(flat.columns, 4);
}

QWidget* openMenu()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "MenuFSV" && w->isVisible()) return w;
    return nullptr;
}

// Runs the menu window and acts on it from inside its wait.
int runMenu(const std::vector<std::string>& items, std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* w = openMenu();
        if (!w) {
            ADD_FAILURE() << "no menu window";
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            return;
        }
        act(w);
    });
    return local_GUImenu("Frequency Domain Analysis", items);
}

TEST(WindowMenu, AnswersWithThePressedButton)
{
    const int choice = runMenu(kItems, [](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "FSV PROCEDURE");
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
        EXPECT_TRUE(w->isModal());
        auto* header = w->findChild<QLabel*>("header");
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->font().pointSizeF(), 12);
        EXPECT_LE(header->fontMetrics().horizontalAdvance(header->text()), header->width());
        auto* first = w->findChild<QPushButton*>("item1");
        auto* second = w->findChild<QPushButton*>("item2");
        ASSERT_TRUE(first && second);
        EXPECT_EQ(first->text(), "Magnitude");
        EXPECT_EQ(second->text(), "Phase");
        EXPECT_EQ(second->font().pointSizeF(), 10);
        EXPECT_EQ(first->x(), second->x());
        EXPECT_LT(first->y(), second->y());
        EXPECT_LT(header->geometry().bottom(), first->y());
        // Top left corner, 15 and 50 pt from the screen's edges (give or take the 2 px frame
        // the offscreen platform shifts shown windows by).
        const double ppp = w->screen()->logicalDotsPerInchY() / 72;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_NEAR(w->x() - area.x(), 15 * ppp, 3);
        EXPECT_NEAR(w->y() - area.y(), 50 * ppp, 3);
        second->click();
    });
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(openMenu(), nullptr);
}

TEST(WindowMenu, ClosingAnswersZero)
{
    EXPECT_EQ(runMenu(kItems, [](QWidget* w) { w->close(); }), 0);
    EXPECT_EQ(openMenu(), nullptr);
    // Escape is closing too.
    EXPECT_EQ(runMenu(kItems, [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }), 0);
}

TEST(WindowMenu, TooManyItemsForOneColumnSpreadAcross)
{
    std::vector<std::string> items;
    for (int j = 1; j <= 60; ++j) items.push_back("Choice " + std::to_string(j));
    const int choice = runMenu(items, [](QWidget* w) {
        EXPECT_LE(w->geometry().bottom(), QGuiApplication::primaryScreen()->availableGeometry().bottom());
        const auto item = [w](int j) { return w->findChild<QPushButton*>(QString("item%1").arg(j)); };
        int rows = 1;
        while (rows < 60 && item(rows + 1)->x() == item(1)->x()) ++rows;
        ASSERT_LT(rows, 60);
        // Column 2 starts at the top again; the last button is still inside the window.
        EXPECT_EQ(item(rows + 1)->y(), item(1)->y());
        EXPECT_GT(item(rows + 1)->x(), item(1)->x());
        EXPECT_TRUE(w->rect().contains(item(60)->geometry()));
        item(rows + 1)->click();
    });
    EXPECT_GT(choice, 1);
}

}  // namespace
}  // namespace orvane

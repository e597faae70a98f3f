// The program's own dialogs on the offscreen platform: closing a question, clicks that were
// meant for the window before, where choosers open, and the read-me without a viewer.
#include "desktop/qt_dialogs.h"

#include "base/error.h"
#include "desktop/late_clicks.h"
#include "desktop/readme_window.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace orvane {
namespace {

using namespace std::chrono_literals;

// The title bar's close button on a question gives the answer it offers as its default,
// never a silent other one.
TEST(QtDialogs, AClosedQuestionGivesItsDefaultAnswer)
{
    QtDialogs dialogs;
    QTimer::singleShot(50, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->close();
    });
    EXPECT_EQ(dialogs.question(Question("Do you want GDM weighting?", "GDM", {"YES", "NO"}, "YES")), "YES");
}

// The second click of a double click on "Done" lands where the next dialog opens: it must
// not press that dialog's button. Later clicks work as usual.
TEST(LateClicks, ClicksRightAfterAWindowOpensAreIgnored)
{
    QDialog dialog;
    auto* cancel = new QPushButton("Cancel", &dialog);
    int pressed = 0;
    QObject::connect(cancel, &QPushButton::clicked, [&pressed] { ++pressed; });
    auto* path = new QLineEdit(&dialog);
    path->move(0, 40);
    // Longer than the real interval, so that a slow test machine still clicks within it.
    new IgnoreClicksAtFirst(&dialog, 1000ms);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    path->setFocus();
    // As the system delivers it: to the window, which hands it to the button under it.
    const QPoint onCancel = cancel->mapTo(&dialog, cancel->rect().center());
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, onCancel);
    EXPECT_EQ(pressed, 0);
    // Nor does it take the focus: the Return typed next must not press "Cancel".
    EXPECT_TRUE(path->hasFocus());
    QTest::mouseClick(cancel, Qt::LeftButton);  // straight to the button
    EXPECT_EQ(pressed, 0);
    std::this_thread::sleep_for(1050ms);
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, onCancel);
    EXPECT_EQ(pressed, 1);
    EXPECT_GT(IgnoreClicksAtFirst::doubleClickInterval().count(), 0);
}

// Each chooser opens where it was last used; the eight data-set choosers are one.
TEST(QtChoosers, EachChooserRemembersItsOwnFolder)
{
    test::TempDir dir;
    const std::string data = (dir.path() / "data").string(), out = (dir.path() / "out").string();
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(out);
    rememberChooserFolder("Select Dataset 3 ", data);
    rememberChooserFolder("Select Folder for OUTPUT Data", out);
    EXPECT_EQ(chooserFolder("Select Dataset 7 ", "/"), data);
    EXPECT_EQ(chooserFolder("Select Folder for OUTPUT Data", "/"), out);
    EXPECT_EQ(chooserFolder("Select a folder", "/start"), "/start");  // never used: the caller's
    // A remembered folder that has gone: the caller's start again.
    std::filesystem::remove(out);
    EXPECT_EQ(chooserFolder("Select Folder for OUTPUT Data", "/start"), "/start");
}

// No viewer for the read-me: it shows in a window of the program's own instead of an error.
TEST(ReadMe, WithoutAViewerTheReadMeShowsInAPlainTextWindow)
{
    test::TempDir dir;
    const std::string file = dir.write("ReadMe_100.txt", "1. WHAT ORVANE DOES\nIt rates agreement.\n");
    int opened = 0;
    showReadMe(file, [&opened](const std::filesystem::path&) { ++opened; });
    EXPECT_EQ(opened, 1);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "ReadMeWindow");

    showReadMe(file, [](const std::filesystem::path&) {
        throw ExtensionError("Tarvex:openshell:SE_ERR_ASSOCINCOMPLETE",
                             "The file name association is incomplete or invalid.");
    });
    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "ReadMeWindow" && w->isVisible()) window = w;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "ReadMe_100.txt");
    auto* text = window->findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText(), "1. WHAT ORVANE DOES\nIt rates agreement.\n");
    delete window;

    // A read-me that cannot be read at all is an error that names it.
    try {
        readMeWindow(dir.path() / "gone.txt");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("gone.txt"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace orvane

#include "desktop/loadata.h"

#include "desktop/desktop.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "support/scripted_choosers.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace orvane {
namespace {

class DataWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.choosers = &choosers;
        ds.session.dataset.fill(std::string());
    }
    void TearDown() override
    {
        deleteWindow(openWindowOf("loadata.fig"));
        test::settle();
    }
    // Opens the window, lets `steps` act on it while loadata waits, and gives the box states
    // seen just before the window closed.
    std::string run(std::function<void(QWidget*)> steps)
    {
        std::string seen;
        test::whenWindowOpens("loadata.fig", [&seen, steps](QWidget* w) {
            steps(w);
            seen = boxes(w);
            if (openWindowOf("loadata.fig")) test::click(w, "pushbutton15");
        });
        DataLoadingWindow::run(ds);
        return seen;
    }
    // One letter per box: I inactive, O on, - off; then each box's text ("" for empty) in brackets.
    static std::string boxes(QWidget* w)
    {
        std::string s;
        for (int k = 1; k <= 8; ++k) {
            const Enable e = enableOf(Handles(w)["edit" + std::to_string(100 + k)]);
            s += e == Enable::Inactive ? 'I' : e == Enable::On ? 'O' : '-';
        }
        return s;
    }
    static std::string text(QWidget* w, int k) { return stringOf(Handles(w)["edit" + std::to_string(100 + k)]); }

    DesktopSession ds;
    test::TempDir dir;
    test::ScriptedChoosers choosers;
};

TEST_F(DataWindow, SlotsFillInAnyOrderAndTheNextBoxIsMarked)
{
    const std::string a = dir.write("a.txt", "1 2\n"), b = dir.write("b.txt", "1 2\n");
    choosers.files = {test::chosen(a), test::chosen(b)};
    std::string texts;
    const std::string seen = run([&texts](QWidget* w) {
        EXPECT_EQ(boxes(w), "IIIIIIII");
        test::click(w, "pushbutton102");
        test::click(w, "pushbutton104");
        texts = text(w, 1) + "|" + text(w, 2) + "|" + text(w, 3);
    });
    EXPECT_EQ(seen, "-O-OIIII");
    EXPECT_EQ(texts, a + "||" + b);
    EXPECT_EQ(ds.session.dataset[0], a);
    EXPECT_EQ(ds.session.dataset[1], "");
    EXPECT_EQ(ds.session.dataset[2], b);
    EXPECT_EQ(choosers.fileTitles, (std::vector<std::string>{"Select Dataset 1 ", "Select Dataset 3 "}));
}

TEST_F(DataWindow, ACancelledChooserChangesNothingAndCancelOrCloseEmptiesAll)
{
    const std::string a = dir.write("a.txt", "1 2\n"), h = dir.write("h.txt", "1 2\n");
    choosers.files = {test::chosen(a), std::nullopt, std::nullopt, test::chosen(h)};
    std::string afterCancel;
    const std::string seen = run([&afterCancel](QWidget* w) {
        test::click(w, "pushbutton102");
        test::click(w, "pushbutton102");  // cancelled: the box still shows the file to be analysed
        afterCancel = text(w, 1) + "|" + boxes(w);
        test::click(w, "pushbutton105");  // cancelled on an empty slot: it stays as it was
        afterCancel += "|" + text(w, 4) + "|" + boxes(w);
        test::click(w, "pushbutton109");
    });
    EXPECT_EQ(afterCancel, a + "|-OIIIIII||-OIIIIII");
    EXPECT_EQ(seen, "-OIIIII-");  // box 2 marked by slot 1's first choice; slot 8 marks none
    EXPECT_EQ(ds.session.dataset[0], a);
    EXPECT_EQ(ds.session.dataset[7], h);

    // The Cancel button, and the title bar's close button alike: every slot and box
    // emptied, the window gone (the analysis then stops for want of data).
    for (const bool button : {true, false}) {
        choosers.files = {test::chosen(a)};
        run([button](QWidget* w) {
            test::click(w, "pushbutton103");
            if (button) test::click(w, "pushbutton12");
            else w->close();
        });
        for (const auto& slot : ds.session.dataset) EXPECT_EQ(slot, "") << button;
        EXPECT_EQ(openWindowOf("loadata.fig"), nullptr);
    }
    EXPECT_EQ(stringOf(Handles(DataLoadingWindow::open(ds).widget())["pushbutton12"]), "&Cancel");
}

// The choices of a run that did not finish (or files from the command line) fill the slots
// of the next window, as if chosen there.
TEST_F(DataWindow, PreviousChoicesFillTheSlots)
{
    const std::string a = dir.write("a.txt", "1 2\n"), c = dir.write("c.txt", "1 2\n");
    ds.previousFiles[0] = a;
    ds.previousFiles[2] = c;
    std::string texts;
    const std::string seen = run([&texts](QWidget* w) { texts = text(w, 1) + "|" + text(w, 2) + "|" + text(w, 3); });
    EXPECT_EQ(texts, a + "||" + c);
    EXPECT_EQ(seen, "-O-OIIII");
    EXPECT_EQ(ds.session.dataset[0], a);
    EXPECT_EQ(ds.session.dataset[2], c);
}

// "Compare against": the user's choice names a slot (0 the average); the window opens on the
// session's choice, and Clear All returns to the average.
TEST_F(DataWindow, CompareAgainstChoosesTheReferenceSlot)
{
    const auto choose = [](QWidget* w, int index) {
        auto* combo = Handles(w).get<QComboBox>("popupmenu101");
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    };
    int shown = -1;
    run([&](QWidget* w) {
        shown = Handles(w).get<QComboBox>("popupmenu101")->currentIndex();
        choose(w, 3);
    });
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(ds.session.reference, 3u);
    run([&](QWidget* w) {
        shown = Handles(w).get<QComboBox>("popupmenu101")->currentIndex();
        EXPECT_EQ(Handles(w).get<QComboBox>("popupmenu101")->itemText(3).toStdString(), "Dataset 3");
        choose(w, 0);
    });
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(ds.session.reference, 0u);
    ds.session.reference = 2;
    run([](QWidget* w) { test::click(w, "pushbutton12"); });
    EXPECT_EQ(ds.session.reference, 0u);
}

TEST_F(DataWindow, ADroppedFileFillsTheSlotUnderIt)
{
    const std::string c = dir.write("c.dat", "1 2\n");
    std::string texts;
    run([&texts, c](QWidget* w) {
        QWidget* box = Handles(w)["edit105"];
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(c))});
        const QPoint at = box->mapTo(w, box->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &drop);
        texts = text(w, 5);
        // A folder is not a data file: refused.
        QMimeData folder;
        folder.setUrls({QUrl::fromLocalFile(QString::fromStdString(std::filesystem::path(c).parent_path().string()))});
        QDragEnterEvent refused(at, Qt::CopyAction, &folder, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &refused);
        EXPECT_FALSE(refused.isAccepted());
    });
    EXPECT_EQ(texts, c);
    EXPECT_EQ(ds.session.dataset[4], c);
}

// A three-column CSV is previewed and read as picked there; a plain two-column file is taken
// as it is, and a cancelled preview fills no slot.
TEST_F(DataWindow, AFileBeyondTwoPlainColumnsIsPreviewedAndReadAsPicked)
{
    const std::string csv = dir.write("vna.csv", "Instrument;VNA\nFreq [MHz];S21 [dB];Phase [deg]\n"
                                                 "1;-3,5;10\n2;-4;20\n3;-5;30\n4;-6;40\n");
    const std::string plain = dir.write("plain.txt", "1 2\n2 3\n3 4\n");
    choosers.files = {test::chosen(csv), test::chosen(plain), test::chosen(csv)};
    choosers.readings = {[](const ReadPreview& p) {
        ReadOptions picked = p.suggested;
        picked.yColumn = 3;
        return std::optional(picked);
    }};
    std::string third;
    run([&third](QWidget* w) {
        test::click(w, "pushbutton102");
        test::click(w, "pushbutton103");
        test::click(w, "pushbutton104");  // previewed again, and cancelled
        third = text(w, 3);
    });
    ASSERT_EQ(choosers.previews.size(), 2u);  // none for the plain file
    const ReadPreview& p = choosers.previews[0];
    EXPECT_EQ(p.firstLines.at(2), "1;-3,5;10");
    EXPECT_EQ(p.columns, (std::vector<std::string>{"1: Freq [MHz]", "2: S21 [dB]", "3: Phase [deg]"}));
    EXPECT_EQ(p.detected.columns, 3u);
    EXPECT_EQ(p.detected.skippedLines, 2u);
    EXPECT_EQ(p.detected.xUnit, "MHz");
    EXPECT_EQ(p.found, "text, 3 columns of numbers, x in MHz, 2 metadata lines skipped, decimal comma");
    EXPECT_EQ(p.problem, "3 columns of numbers: pick the abscissa and the ordinate below.");
    EXPECT_FALSE(p.touchstone);

    EXPECT_EQ(ds.session.dataset[0], csv);
    EXPECT_EQ(ds.session.dataset[1], plain);
    EXPECT_EQ(ds.session.readOptions[1], ReadOptions{});
    EXPECT_EQ(ds.session.dataset[2], "");
    EXPECT_EQ(third, "");
    // The analysis reads the slot with its choice: the phase column, x in Hz.
    const DataSet set = readDataSet(ds.session.dataset[0], ds.session.readOptions[0]);
    EXPECT_EQ(set.ordinate, (Vec{10, 20, 30, 40}));
    EXPECT_EQ(set.abscissa, (Vec{1e6, 2e6, 3e6, 4e6}));
}

TEST_F(DataWindow, AControlCharacterInAFileNameIsShownEscapedAndTheFileKeptAsItIs)
{
    const std::string odd = dir.write("run\x1b[2Jone\n.txt", "1 2\n");
    choosers.files = {test::chosen(odd)};
    std::string shown;
    run([&shown](QWidget* w) {
        test::click(w, "pushbutton103");
        shown = text(w, 2);
        test::click(w, "pushbutton15");
    });
    EXPECT_NE(shown.find("run\\x1b[2Jone\\n.txt"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_EQ(ds.session.dataset[1], odd);
}

}  // namespace
}  // namespace orvane

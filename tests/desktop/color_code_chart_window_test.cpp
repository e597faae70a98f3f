#include "desktop/color_code_chart_window.h"

#include "desktop/desktop.h"
#include "analysis/report.h"
#include "analysis/result_files.h"
#include "base/text.h"
#include "method/grade_spread.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "figures/figure_file.h"
#include "render/readable_labels.h"
#include "desktop/results_window.h"
#include "support/analysis_fixture.h"
#include "support/recording.h"
#include "support/temp_dir.h"
#include "support/window_driver.h"

#include <QImage>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace orvane {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kKinds = {"radiobutton31", "radiobutton32", "radiobutton33", "radiobutton34",
                                         "radiobutton35", "radiobutton36", "radiobutton37"};
const std::string kBadInput = "Bad Input: You must enter a numeric value between (0..100)";
const std::string kNotFound = "!! Warning !!: Directory/Files not found";

std::string setTag(int k) { return "radiobutton" + std::to_string(199 + k); }

// What axes5 shows: the zone fills, the stars, the labels by text and the title.
struct Drawn {
    int zones = 0;
    std::vector<QPointF> stars;
    std::map<std::string, QPointF> labels;  // the anchor each label is placed from
    std::map<std::string, QRectF> boxes;    // where it is drawn, in pixels
    std::string title;
};

Drawn drawnIn(QCustomPlot& plot)
{
    Drawn d;
    for (int i = 0; i < plot.plottableCount(); ++i) {
        auto* g = qobject_cast<QCPGraph*>(plot.plottable(i));
        if (g && g->scatterStyle().shape() == QCPScatterStyle::ssStar)
            for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
                d.stars.emplace_back(it->key, it->value);
        d.zones += qobject_cast<QCPCurve*>(plot.plottable(i)) != nullptr;
    }
    for (int i = 0; i < plot.itemCount(); ++i)
        if (auto* t = qobject_cast<QCPItemText*>(plot.item(i))) {
            // A label stacked over another on the same point hangs from that label's anchor.
            const auto* parent = dynamic_cast<const QCPItemPosition*>(t->position->parentAnchor());
            d.labels[t->text().toStdString()] = parent ? parent->coords() : t->position->coords();
            if (auto* readable = dynamic_cast<ReadableText*>(t)) d.boxes[t->text().toStdString()] = readable->drawnBox();
        }
    for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
        if (auto* t = qobject_cast<QCPTextElement*>(plot.plotLayout()->elementAt(i)))
            d.title = t->text().toStdString();
    return d;
}

// A star at its grade and spread, and its label 0.2 to its right, on the star's line or a
// line or a few above or below it when others share the point; none prints over another.
void expectStar(const Drawn& d, const std::string& label, const GradeSpread& m, int set)
{
    const double spread = m.Spread[set - 1].value, grade = m.Grade[set - 1].value;
    EXPECT_TRUE(std::count(d.stars.begin(), d.stars.end(), QPointF(spread, grade)) > 0) << label;
    ASSERT_TRUE(d.labels.count(label) && d.boxes.count(label)) << label;
    const QPointF at = d.labels.at(label);
    EXPECT_DOUBLE_EQ(at.x(), spread + 0.2) << label;
    EXPECT_LE(std::abs(at.y() - grade), 0.3 * double(d.labels.size() - 1) + 1e-9) << label;
    const QRectF box = d.boxes.at(label);
    EXPECT_GT(box.width(), 10) << label;
    for (const auto& [other, there] : d.boxes) {
        if (other == label) continue;
        const QRectF common = box.intersected(there);
        EXPECT_TRUE(common.width() < 0.5 || common.height() < 0.5) << label << " over " << other;
    }
}

class ColorCodeChartWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds.dialogs = &dialogs;
        ds.session.startFolder = dir.path().string();
        ds.resultsPreparingPause = std::chrono::milliseconds(0);
    }
    void TearDown() override
    {
        for (const char* layout : {"ColorCodeChart.fig", "results.fig"}) deleteWindow(openWindowOf(layout));
        test::settle();
    }

    // An analysis of n sets as the program writes it (T = 1), then the chart window.
    fs::path analyseAndOpen(int n)
    {
        const fs::path folder = test::runAnalysis(ds.session, dir.path() / ("run" + std::to_string(n)), n);
        open();
        return folder;
    }
    void open()
    {
        ChartWindow::open(ds);
        window = openWindowOf("ColorCodeChart.fig");
        ASSERT_NE(window, nullptr);
        h = Handles(window);
    }
    void click(const std::string& tag) { test::click(window, tag); }
    void type(const std::string& text)
    {
        auto* edit = h.get<QLineEdit>("edit2");
        edit->setText(QString::fromStdString(text));
        edit->setModified(true);
        emit edit->editingFinished();
    }
    void slide(double percent) { h.get<QSlider>("slider3")->setValue(int(percent * kSliderScale)); }
    // "on", "off" or "inactive" per control, blank-separated.
    std::string states(const std::vector<std::string>& tags) const
    {
        std::string out;
        for (const std::string& tag : tags) {
            const Enable e = enableOf(h[tag]);
            out += out.empty() ? "" : " ";
            out += e == Enable::On ? "on" : e == Enable::Off ? "off" : "inactive";
        }
        return out;
    }
    std::string sets(int n) const
    {
        std::vector<std::string> tags;
        for (int k = 1; k <= n; ++k) tags.push_back(setTag(k));
        return states(tags);
    }
    Drawn drawn() const { return drawnIn(*h.get<QCustomPlot>("axes5")); }
    void expectBareZones() const
    {
        const Drawn d = drawn();
        EXPECT_EQ(d.zones, 4);
        EXPECT_TRUE(d.stars.empty() && d.labels.empty() && d.title.empty());
    }

    DesktopSession ds;
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    QWidget* window = nullptr;
    Handles h;
};

TEST_F(ColorCodeChartWindow, OpensWithTheLoadedSetsAndTheDefaultThreshold)
{
    analyseAndOpen(2);
    EXPECT_EQ(ds.chartWindow->widget(), window);
    EXPECT_EQ(sets(8), "on on off off off off off off");
    auto* slider = h.get<QSlider>("slider3");
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 100 * kSliderScale);
    EXPECT_EQ(slider->singleStep(), kSliderScale / 2);
    EXPECT_EQ(slider->pageStep(), kSliderScale);
    EXPECT_EQ(valueOf(slider), 85);
    EXPECT_EQ(stringOf(h["edit2"]), "85");
    EXPECT_EQ(states({"edit2", "slider3", "pushbutton22", "pushbutton23"}), "on on off off");
    EXPECT_TRUE(h["text199"]->isVisible());
    expectBareZones();

    deleteWindow(window);
    test::settle();
    const fs::path folder = analyseAndOpen(8);
    EXPECT_EQ(sets(8), "on on on on on on on on");
    // The last set is drawn from its own records, like every other.
    click(setTag(8));
    click("radiobutton36");
    const LoadedGradeSpread g = loadGradeSpreadFile(folder / "85" / kGradeSpreadFile);
    const Drawn d = drawn();
    EXPECT_EQ(d.labels.size(), 2u);
    expectStar(d, "FDM_8", g.FDM, 8);
    expectStar(d, "GDM_8", g.GDM, 8);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ColorCodeChartWindow, ThresholdTextMustBeANumberFrom0To100)
{
    const fs::path folder = analyseAndOpen(2);
    type("100");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(valueOf(h["slider3"]), 100);
    EXPECT_EQ(ds.session.thrs, "100");
    // The stored charts are for 85 until the recompute has run.
    EXPECT_EQ(states({"pushbutton23"}), "on");
    EXPECT_EQ(states(kKinds), "off off off off off off off");

    for (const char* refused : {"100.5", "-1", "abc"}) {
        dialogs.errors.clear();
        type(refused);
        EXPECT_EQ(dialogs.errors, std::vector<std::string>{kBadInput}) << refused;
        EXPECT_EQ(ds.session.thrs, "100") << refused;
        EXPECT_EQ(valueOf(h["slider3"]), 100) << refused;
        // The box is back at the threshold in force, not showing what was refused.
        EXPECT_EQ(stringOf(h["edit2"]), "100") << refused;
    }

    // So the recompute computes the threshold shown, never a refused text.
    dialogs.errors.clear();
    click("pushbutton23");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(fs::is_regular_file(folder / "100" / kGradeSpreadFile));
    EXPECT_FALSE(fs::exists(folder / "abc"));
    EXPECT_EQ(states(kKinds), "on on on on on on on");
    ASSERT_EQ(dialogs.informed.size(), 1u);
    EXPECT_NE(dialogs.informed[0].find((folder / "100").string()), std::string::npos) << dialogs.informed[0];
}

// Typing a threshold offers Recompute at once (no Enter needed) and only for a usable value;
// the slider keeps to its steps; a shown chart's threshold says why it cannot be typed over.
TEST_F(ColorCodeChartWindow, ThresholdBoxAnswersEveryKeyAndTheSliderSnapsToItsSteps)
{
    analyseAndOpen(2);
    auto* edit = h.get<QLineEdit>("edit2");
    edit->clear();
    QTest::keyClicks(edit, "70");
    EXPECT_EQ(states({"pushbutton23"}), "on");
    QTest::keyClicks(edit, "0");  // 700
    EXPECT_EQ(states({"pushbutton23"}), "off");
    edit->clear();
    QTest::keyClicks(edit, "85");  // the threshold whose charts exist
    EXPECT_EQ(states({"pushbutton23"}), "off");
    EXPECT_TRUE(dialogs.errors.empty());

    slide(48.67);
    EXPECT_EQ(stringOf(h["edit2"]), "48.5");
    EXPECT_EQ(valueOf(h["slider3"]), 48.5);
    EXPECT_EQ(ds.session.thrs, "48.5");
    slide(48.8);
    EXPECT_EQ(stringOf(h["edit2"]), "49");

    type("85");
    EXPECT_EQ(states(kKinds), "on on on on on on on");  // back at the computed threshold
    click(setTag(1));
    click("radiobutton31");
    EXPECT_EQ(states({"edit2", "pushbutton22"}), "inactive on");
    EXPECT_FALSE(edit->toolTip().isEmpty());
    EXPECT_NE(edit->toolTip(), QStringLiteral("Threshold in percent, 0 to 100"));

    // Cleared again: nothing to save, and the box is free.
    click("radiobutton31");
    EXPECT_EQ(states({"edit2", "pushbutton22"}), "on off");
    EXPECT_EQ(edit->toolTip(), QStringLiteral("Threshold in percent, 0 to 100"));
}

// Eight sets put 24 labels on stars that share points or stand one step apart: each label
// stays near its own star, inside the plane, over no other label, on a box of its own.
TEST_F(ColorCodeChartWindow, LabelsOfManyStarsStayNearTheirStarsInsideThePlaneAndApart)
{
    const fs::path folder = analyseAndOpen(8);
    for (int k = 1; k <= 8; ++k) click(setTag(k));
    click("radiobutton37");
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    auto* plot = h.get<QCustomPlot>("axes5");
    const LoadedGradeSpread g = loadGradeSpreadFile(folder / "85" / kGradeSpreadFile);
    std::vector<std::pair<std::string, QRectF>> boxes;  // in plot units, y upwards
    for (int i = 0; i < plot->itemCount(); ++i) {
        auto* t = qobject_cast<QCPItemText*>(plot->item(i));
        if (!t) continue;
        const std::string name = t->text().toStdString();
        const int set = name.back() - '0';
        const GradeSpread& m = name[0] == 'A' ? g.ADM : name[0] == 'F' ? g.FDM : g.GDM;
        // Where the label stands, in plot units, whatever it is anchored to.
        const QPointF pixel = t->position->pixelPosition();
        const QPointF at(plot->xAxis->pixelToCoord(pixel.x()), plot->yAxis->pixelToCoord(pixel.y()));
        EXPECT_LE(std::abs(at.x() - m.Spread[set - 1].value), 2.6) << name;
        EXPECT_LE(std::abs(at.y() - m.Grade[set - 1].value), 1.9) << name;
        EXPECT_GT(t->brush().color().alpha(), 0) << name;
        // The label's own extent as drawn, from its pixels.
        const QRectF px = QRectF(t->topLeft->pixelPosition(), t->bottomRight->pixelPosition()).normalized();
        const QRectF units(QPointF(plot->xAxis->pixelToCoord(px.left()), plot->yAxis->pixelToCoord(px.bottom())),
                           QPointF(plot->xAxis->pixelToCoord(px.right()), plot->yAxis->pixelToCoord(px.top())));
        EXPECT_GE(units.left(), -1e-9) << name;
        EXPECT_LE(units.right(), 6.5 + 1e-9) << name;
        EXPECT_GE(units.top(), -1e-9) << name;
        EXPECT_LE(units.bottom(), 6.5 + 1e-9) << name;
        boxes.emplace_back(name, units);
    }
    ASSERT_EQ(boxes.size(), 24u);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i].second.intersected(boxes[j].second).width() > 0.02 &&
                         boxes[i].second.intersected(boxes[j].second).height() > 0.02)
                << boxes[i].first << " over " << boxes[j].first;
}

TEST_F(ColorCodeChartWindow, SliderThresholdIsRecomputedIntoItsOwnFolder)
{
    const fs::path folder = analyseAndOpen(3);
    slide(85.5);
    EXPECT_EQ(stringOf(h["edit2"]), "85.5");
    EXPECT_EQ(ds.session.thrs, "85.5");
    EXPECT_EQ(states({"pushbutton23", "radiobutton31"}), "on on");  // the slider leaves the kinds as they are

    click("pushbutton23");
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_EQ(states({"pushbutton23"}), "off");
    EXPECT_EQ(states(kKinds), "on on on on on on on");

    std::set<std::string> expected = {"GRADE_SPREAD.mat"}, written;
    for (int k = 1; k <= 4; ++k) {
        const std::string n = std::to_string(k), a = "ADM_" + n, f = "FDM_" + n, g = "GDM_" + n;
        for (const std::string& kind : {a, f, g, a + "_" + f + "_" + g, a + "_" + f, a + "_" + g, f + "_" + g})
            expected.insert("FsvColorCodeChart" + kind + "_85.5.fig");
    }
    for (const auto& entry : fs::directory_iterator(folder / "85.5")) written.insert(entry.path().filename().string());
    EXPECT_EQ(written, expected);
    EXPECT_EQ(readFigureFile(folder / "85.5" / "FsvColorCodeChartADM_2_85.5.fig").axes.title,
              "FSV COLOR CODE CHART - threshold =85.5");

    // Grades and spreads of 85.5 %, from the analysis's own histograms.
    const LoadedAnalysis analysis = loadAnalysisFile(folder / kMagnitudeAnalysisFile);
    const LoadedGradeSpread stored = loadGradeSpreadFile(folder / "85.5" / kGradeSpreadFile);
    const GradeSpread gdm = gradesAndSpreads(0.855, analysis.result.gdm.GDMc);
    ASSERT_EQ(stored.GDM.Grade.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(stored.GDM.Grade[i].value, gdm.Grade[i].value) << i;
        EXPECT_EQ(stored.GDM.Spread[i].range, gdm.Spread[i].range) << i;
    }
    // The report is written again for the new threshold, with its grades.
    std::ifstream in(folder / kReportFile);
    const std::string report((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(report.find("<th>Threshold</th><td>85.5 %</td>"), std::string::npos);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NE(report.find("data-grade=\"" + num2str(gdm.Grade[i].value) + "\" data-set=\"" + std::to_string(i + 1) +
                              "\" data-measure=\"GDM\""),
                  std::string::npos)
            << i;

    click(setTag(1));
    click("radiobutton31");
    EXPECT_EQ(drawn().title, "FSV COLOR CODE CHART - threshold =85.5");
}

TEST_F(ColorCodeChartWindow, RecomputedGradeSpreadFileHasNineVariablesForOtherReaders)
{
    if (std::system("/usr/bin/python3 -c 'import scipy.io' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "SciPy is not installed";
    const fs::path folder = analyseAndOpen(2);
    slide(90);
    click("pushbutton23");
    const fs::path file = folder / "90" / kGradeSpreadFile, output = dir.path() / "read.txt";
    ASSERT_TRUE(fs::exists(file));
    const std::string script = "import sys, scipy.io\n"
                               "v = scipy.io.loadmat(sys.argv[1])\n"
                               "print(' '.join(sorted(k for k in v if not k.startswith('__'))))\n"
                               "print(int(v['N_DATA'][0, 0]), v['S_MARKER'][0])\n"
                               "for c in v['Spread_FDM'][0]: print(int(c['value'][0, 0][0, 0]), c['range'][0, 0][0])\n";
    const std::string command =
        "/usr/bin/python3 -c \"" + script + "\" '" + file.string() + "' > '" + output.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    std::ifstream in(output);
    std::string names, line;
    std::getline(in, names);
    EXPECT_EQ(names, "D Grade_ADM Grade_FDM Grade_GDM N_DATA S_MARKER Spread_ADM Spread_FDM Spread_GDM");
    std::getline(in, line);
    EXPECT_EQ(line, "2 rbgycmbkk");
    const GradeSpread fdm = gradesAndSpreads(0.90, loadAnalysisFile(folder / kMagnitudeAnalysisFile).result.fdm.FDMc);
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(std::getline(in, line));
        EXPECT_EQ(line, std::to_string(int(fdm.Spread[i].value)) + " " + fdm.Spread[i].range) << i;
    }
}

TEST_F(ColorCodeChartWindow, TwoMeasuresOfTwoSetsAreDrawnLockedAndSaved)
{
    const fs::path folder = analyseAndOpen(3);
    const LoadedGradeSpread g = loadGradeSpreadFile(folder / "85" / kGradeSpreadFile);
    click(setTag(1));
    click(setTag(2));
    click("radiobutton34");
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();

    const Drawn d = drawn();
    EXPECT_EQ(d.zones, 4);
    EXPECT_EQ(d.title, "FSV COLOR CODE CHART - threshold =85");
    EXPECT_EQ(d.labels.size(), 4u);
    EXPECT_EQ(d.stars.size(), 4u);
    for (int k = 1; k <= 2; ++k) {
        expectStar(d, "ADM_" + std::to_string(k), g.ADM, k);
        expectStar(d, "FDM_" + std::to_string(k), g.FDM, k);
    }
    // While it is shown, nothing that would change it can be touched.
    EXPECT_EQ(states(kKinds), "off off off on off off off");
    EXPECT_EQ(sets(3), "off off off");
    EXPECT_EQ(states({"edit2", "slider3", "pushbutton22"}), "inactive inactive on");

    click("pushbutton22");
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    const QImage image(QString::fromStdString((folder / "85" / "FsvColorCodeChartADM_FDM_85.bmp").string()), "BMP");
    ASSERT_FALSE(image.isNull());
    bool blue = false, black = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            blue = blue || image.pixel(x, y) == qRgb(0, 0, 255);
            black = black || image.pixel(x, y) == qRgb(0, 0, 0);
        }
    EXPECT_TRUE(blue && black) << "the picture lacks the blue zone or the stars";
}

TEST_F(ColorCodeChartWindow, SwitchingAKindOffClearsToTheBareZones)
{
    const fs::path folder = analyseAndOpen(3);
    click(setTag(1));
    click(setTag(3));
    click("radiobutton34");
    click("radiobutton34");
    expectBareZones();
    EXPECT_EQ(states(kKinds), "on on on on on on on");
    EXPECT_EQ(sets(3), "on on on");
    EXPECT_EQ(states({"edit2", "slider3"}), "on on");

    click("radiobutton36");
    std::set<std::string> labels;
    for (const auto& [text, at] : drawn().labels) labels.insert(text);
    EXPECT_EQ(labels, (std::set<std::string>{"FDM_1", "GDM_1", "FDM_3", "GDM_3"}));

    // With no kind on there is nothing to save, and the button says so.
    click("radiobutton36");
    EXPECT_EQ(states({"pushbutton22"}), "off");
    click("pushbutton22");
    for (const auto& entry : fs::directory_iterator(folder / "85")) EXPECT_NE(entry.path().extension(), ".bmp");
}

TEST_F(ColorCodeChartWindow, KindWithoutDataSetIsASelectionError)
{
    analyseAndOpen(2);
    dialogs.answers = {"Help"};
    click("radiobutton37");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    const Question& q = dialogs.questions.front();
    EXPECT_EQ(q.title + ": " + q.message, "Quit Program: Selection Error!");
    EXPECT_EQ(q.buttons, (std::vector<std::string>{"OK", "Help"}));
    EXPECT_EQ(q.defaultButton, "OK");
    EXPECT_EQ(dialogs.warnings, std::vector<std::string>{"!! Warning !!: Sorry, no help available"});
    for (const std::string& kind : kKinds) EXPECT_EQ(valueOf(h[kind]), 0) << kind;
    expectBareZones();
}

TEST_F(ColorCodeChartWindow, MissingThresholdFolderIsReportedAndUnlocks)
{
    // Browsing results whose threshold folder is not the default one.
    Session& s = ds.session;
    const fs::path folder = test::runAnalysis(s, dir.path() / "run", 2);
    fs::rename(folder / "85", folder / "90");
    s.T = 0;
    s.folder1 = folder.string();
    open();
    EXPECT_EQ(states({"edit2", "slider3"}), "off off");
    click(setTag(1));
    click("radiobutton31");
    EXPECT_EQ(dialogs.warnings, std::vector<std::string>{kNotFound});
    EXPECT_EQ(valueOf(h["radiobutton31"]), 0);
    EXPECT_EQ(states({"edit2", "slider3", "pushbutton22"}), "on on off");
    EXPECT_EQ(states(kKinds), "on on on on on on on");
    expectBareZones();

    // Another threshold folder of the browsed results can then be named, but not recomputed.
    type("90");
    EXPECT_EQ(states({"pushbutton23"}), "off");
    click("radiobutton31");
    EXPECT_EQ(drawn().labels.count("ADM_1"), 1u);
    click("pushbutton22");
    EXPECT_TRUE(fs::exists(folder / "90" / "FsvColorCodeChartADM_90.bmp"));

    // After an analysis: a threshold moved to but not recomputed has no folder yet.
    deleteWindow(window);
    test::settle();
    dialogs.warnings.clear();
    s.T = 1;
    open();
    slide(70);
    click(setTag(2));
    click("radiobutton33");
    EXPECT_EQ(dialogs.warnings, std::vector<std::string>{kNotFound});
    EXPECT_EQ(valueOf(h["radiobutton33"]), 0);
    EXPECT_EQ(states({"edit2", setTag(2)}), "on on");
    expectBareZones();
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ColorCodeChartWindow, GoingBackShowsTheResultsAndTheirOriginalDataAgain)
{
    // The chart window opened from the results window, with its original data open.
    test::runAnalysis(ds.session, dir.path() / "run2", 2);
    QPointer<ResultsWindow> results = ResultsWindow::open(ds);
    ASSERT_TRUE(results);
    test::click(results->widget(), "radiobutton38");
    test::click(results->widget(), "pushbutton44");
    const QPointer<QWidget> original = results->originalWindow(), legend = results->legendWindow();
    ASSERT_TRUE(original && legend);
    auto openChart = [&] {
        test::click(results->widget(), "pushbutton20");
        window = openWindowOf("ColorCodeChart.fig");
        ASSERT_NE(window, nullptr);
        h = Handles(window);
        EXPECT_FALSE(results->widget()->isVisible() || original->isVisible() || legend->isVisible());
    };
    openChart();
    QPointer<QWidget> chart = window;
    click("pushbutton21");
    test::settle();
    EXPECT_TRUE(chart.isNull());
    EXPECT_EQ(openWindowOf("ColorCodeChart.fig"), nullptr);
    ASSERT_TRUE(results && original && legend);
    EXPECT_TRUE(results->widget()->isVisible() && original->isVisible() && legend->isVisible());

    // Closing the window from its title bar does the same.
    openChart();
    chart = window;
    window->close();
    test::settle();
    EXPECT_TRUE(chart.isNull());
    ASSERT_TRUE(results && original && legend);
    EXPECT_TRUE(results->widget()->isVisible() && original->isVisible() && legend->isVisible());
}

}  // namespace
}  // namespace orvane

#include "desktop/color_code_chart_window.h"

#include "analysis/analysis.h"
#include "analysis/figure_files.h"
#include "analysis/report.h"
#include "analysis/result_files.h"
#include "analysis/threshold_charts.h"
#include "method/grade_spread.h"
#include "figures/color_code_chart.h"
#include "figures/star_labels.h"
#include "desktop/controls.h"
#include "render/figure_renderer.h"
#include "desktop/layouts.h"
#include "render/savefigure.h"
#include "desktop/results_window.h"
#include "desktop/saving.h"
#include "base/text.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <qcustomplot.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace orvane {

// The chart kind selectors, in the order in which the first one on names a saved picture.
struct ChartKind {
    const char* tag;
    const char* namePart;
    std::vector<std::string> measures;
};

namespace {

constexpr const char* kLayout = "ColorCodeChart.fig";
constexpr const char* kBadThreshold = "You must enter a numeric value between (0..100)";
constexpr const char* kBadInputTitle = "Bad Input";
constexpr const char* kNotFound = "Directory/Files not found";
constexpr std::size_t kSetSelectors = 8;
constexpr double kSliderStep = 0.5;  // the slider's small step: thresholds are multiples of it
const QString kThresholdTip = QStringLiteral("Threshold in percent, 0 to 100");

const std::array<ChartKind, 7>& chartKinds()
{
    static const std::array<ChartKind, 7> kinds = {{
        {"radiobutton31", "ADM", {"ADM"}},
        {"radiobutton32", "FDM", {"FDM"}},
        {"radiobutton33", "GDM", {"GDM"}},
        {"radiobutton34", "ADM_FDM", {"ADM", "FDM"}},
        {"radiobutton35", "ADM_GDM", {"ADM", "GDM"}},
        {"radiobutton36", "FDM_GDM", {"FDM", "GDM"}},
        {"radiobutton37", "ADM_FDM_GDM", {"ADM", "FDM", "GDM"}},
    }};
    return kinds;
}

// The selector of data set k (1 … 8).
std::string setSelector(std::size_t k) { return "radiobutton" + std::to_string(199 + k); }

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A threshold text of 0 … 100 percent, without surrounding blanks: it also names a folder.
std::optional<std::string> acceptedThreshold(const std::string& text)
{
    const double fraction = str2double(text) / 100;
    if (!(fraction >= 0 && fraction <= 1)) return std::nullopt;
    return trimmed(text);
}

void setKinds(const Handles& h, Enable state, const char* except = nullptr)
{
    for (const ChartKind& kind : chartKinds())
        if (!except || std::string(kind.tag) != except) setEnable(h[kind.tag], state);
}

// A chart kind switched off, or its threshold folder not there: the threshold can be changed
// and another kind chosen.
void unlock(const Handles& h, const ChartKind& kind)
{
    setEnable(h["edit2"], Enable::On);
    setEnable(h["slider3"], Enable::On);
    h["edit2"]->setToolTip(kThresholdTip);
    h["edit2"]->setStyleSheet({});
    setKinds(h, Enable::On, kind.tag);
}

// While a chart is shown its threshold is fixed; the box says so instead of ignoring keys.
void lockThreshold(const Handles& h)
{
    setEnable(h["edit2"], Enable::Inactive);
    setEnable(h["slider3"], Enable::Inactive);
    h["edit2"]->setToolTip(QStringLiteral("The threshold of the chart shown; switch the chart off to change it"));
    h["edit2"]->setStyleSheet(QStringLiteral("QLineEdit { background: palette(window); color: palette(dark); }"));
}

void chartCleared(const Handles& h)
{
    // Nothing shown: nothing to save.
    setEnable(h["pushbutton22"], Enable::Off);
}

void folderNotFound(const Handles& h, const ChartKind& kind)
{
    setValue(h[kind.tag], 0);
    unlock(h, kind);
    setEnable(h["pushbutton22"], Enable::Off);
}

// Labels stand on a light box of their own: black on the pure blue zone, or half on two
// zones, is hard to read.
void boxLabels(QCustomPlot& plot)
{
    for (int i = 0; i < plot.itemCount(); ++i)
        if (auto* text = qobject_cast<QCPItemText*>(plot.item(i))) {
            text->setBrush(QColor(255, 255, 255, 210));
            text->setPen(Qt::NoPen);
            text->setPadding(QMargins(3, 0, 3, 0));
        }
}

const GradeSpread& measureOf(const LoadedGradeSpread& g, const std::string& name)
{
    return name == "ADM" ? g.ADM : name == "FDM" ? g.FDM : g.GDM;
}

// Closing the window from its title bar goes back like the back button, so the hidden
// results window is not lost.
class BackOnClose : public QObject {
public:
    BackOnClose(QWidget* window, std::function<void()> back) : QObject(window), back_(std::move(back)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The back button deletes the window without a close request.
        if (event->type() == QEvent::Close) back_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> back_;
};

}  // namespace

void ChartWindow::thresholdTyped()
{
    const Handles& h = h_;
    Session& s = ds_.session;
    if (const auto thrs1 = acceptedThreshold(stringOf(h["edit2"]))) {
        setValue(h["slider3"], str2double(*thrs1));
        setString(h["edit2"], *thrs1);
        s.thrs = *thrs1;
    } else {
        (*ds_.dialogs).error(kBadThreshold, kBadInputTitle);
        // The box goes back to the threshold in force: it must not show what was refused.
        setString(h["edit2"], s.thrs);
    }
    if (afterAnalysis()) {
        // The stored charts belong to the old threshold until the recompute has run.
        thresholdEdited();
        setKinds(h, s.thrs == computedThreshold_ ? Enable::On : Enable::Off);
    }
}

void ChartWindow::thresholdEdited()
{
    // Recompute is there for a new valid threshold at once, not only after Enter or Tab.
    const auto typed = acceptedThreshold(stringOf(h_["edit2"]));
    const bool usable = afterAnalysis() && typed && *typed != computedThreshold_;
    setEnable(h_["pushbutton23"], usable ? Enable::On : Enable::Off);
}

void ChartWindow::thresholdMoved()
{
    const Handles& h = h_;
    Session& s = ds_.session;
    // A drag lands anywhere between the steps; the threshold also names a folder, so it keeps
    // to the steps.
    const double snapped = std::round(valueOf(h["slider3"]) / kSliderStep) * kSliderStep;
    setValue(h["slider3"], snapped);
    s.thrs = num2str(snapped);
    setString(h["edit2"], s.thrs);
    if (afterAnalysis()) thresholdEdited();
}

void ChartWindow::recompute()
{
    const Handles& h = h_;
    Session& s = ds_.session;
    const auto thrs = acceptedThreshold(stringOf(h["edit2"]));
    if (!thrs) {
        (*ds_.dialogs).error(kBadThreshold, kBadInputTitle);
        return;
    }
    if (!afterAnalysis()) return;
    s.saveCharts = 1;
    s.thrs = *thrs;

    const fs::path analysisFolder = fs::path(s.outputFolder) / s.analysisFolderName;
    HistogramList ADMc, FDMc, GDMc;
    Vec Kadm, Kfdm;
    {
        const ResultFile f(analysisFolder / analysisFileName(s.T));
        const int D = f.domain();
        const std::size_t N_DATA = f.dataSets();
        const std::size_t n = N_DATA + 1;
        ADMc = f.histograms("ADMc", n);
        FDMc = f.histograms("FDMc", n);
        GDMc = f.histograms("GDMc", n);
        Kadm = f.scalars("Kadm", n);
        Kfdm = f.scalars("Kfdm", n);
        s.S_MARKER = f.text("S_MARKER");
        s.D = D;
        s.N_DATA = N_DATA;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct RestoreCursor {
        ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;

    const double thr = thresholdFraction(s.thrs);
    FigureFiles files(s, (*ds_.dialogs));
    const GradeSpread ADM = gradesAndSpreads(thr, ADMc);
    const GradeSpread FDM = gradesAndSpreads(thr, FDMc);
    const GradeSpread GDM = gradesAndSpreads(thr, GDMc);
    ThresholdCharts{s.thrs, ADM, FDM, GDM, Kadm, Kfdm}.drawAll(files);

    const fs::path thresholdFolder = analysisFolder / s.thrs;
    std::error_code ec;
    fs::create_directory(thresholdFolder, ec);
    if (!fs::is_directory(thresholdFolder)) throw Error("Cannot create the folder " + thresholdFolder.string());
    // Without the weights: they belong to the analysis, not to a threshold.
    writeGradeSpreadFile(thresholdFolder, s.D, s.N_DATA, s.S_MARKER, ADM, FDM, GDM);
    if (s.writeReport) {
        std::vector<std::string> files;
        std::vector<ReadOptions> reads;
        for (std::size_t slot = 0; slot < s.dataset.size(); ++slot)
            if (!s.dataset[slot].empty()) files.push_back(s.dataset[slot]), reads.push_back(s.readOptions[slot]);
        rewriteReport(analysisFolder / analysisFileName(s.T), s.T, s.thrs, ADM, FDM, GDM, files, reads, s.gdmWeighting);
    }

    // Only now do the kinds find the grades and spreads of the new threshold.
    computedThreshold_ = s.thrs;
    setKinds(h, Enable::On);
    setEnable(h["pushbutton23"], Enable::Off);
    ds_.dialogs->inform("The charts and grades for threshold " + s.thrs + " are saved in " + thresholdFolder.string(),
                        "Recompute");
}

void ChartWindow::chartKindToggled(const ChartKind& kind)
{
    const Handles& h = h_;
    Session& s = ds_.session;
    s.saveCharts = 0;
    bool anySet = false;
    for (std::size_t k = 1; k <= kSetSelectors; ++k) anySet = anySet || valueOf(h[setSelector(k)]) == 1;
    if (!anySet) {
        if ((*ds_.dialogs).question({"Selection Error!", kQuitTitle, {"OK", "Help"}, "OK"}) == "Help")
            (*ds_.dialogs).warning("Sorry, no help available", kWarningTitle);
        for (const ChartKind& k : chartKinds()) setValue(h[k.tag], 0);
        return;
    }

    if (valueOf(h[kind.tag]) != 1) {
        // Switched off: nothing to read, back to the bare zones with everything unlocked.
        unlock(h, kind);
        setLoadedSets(Enable::On);
        showBareZones();
        chartCleared(h);
        return;
    }

    // The threshold folder named by edit2: a threshold typed or moved to but not recomputed
    // yet, or one never computed for browsed results, has none.
    const std::string chc = stringOf(h["edit2"]);
    const fs::path base = afterAnalysis() ? fs::path(s.outputFolder) / s.analysisFolderName : fs::path(s.folder1);
    const fs::path file = base / chc / kGradeSpreadFile;
    std::error_code ec;
    if (trimmed(chc).empty() || !fs::is_regular_file(file, ec)) {
        (*ds_.dialogs).warning(kNotFound, kWarningTitle);
        folderNotFound(h, kind);
        return;
    }
    LoadedGradeSpread g;
    try {
        g = loadGradeSpreadFile(file);
    } catch (...) {
        folderNotFound(h, kind);
        throw;
    }
    s.N_DATA = g.N_DATA;
    s.S_MARKER = g.S_MARKER;
    if (std::string(kind.tag) == "radiobutton31") s.D = g.D;

    setEnable(h["pushbutton22"], Enable::On);
    lockThreshold(h);
    setKinds(h, Enable::Off, kind.tag);
    setLoadedSets(Enable::Off);

    SelectionChartRequest request;
    for (std::size_t k = 1; k <= kSetSelectors; ++k) request.shown[k - 1] = valueOf(h[setSelector(k)]) == 1;
    for (const std::string& name : kind.measures) {
        const GradeSpread& m = measureOf(g, name);
        SelectionMeasure column{Vec(g.N_DATA, 0.0), Vec(g.N_DATA, 0.0), name};
        for (std::size_t k = 1; k <= loadedSets(); ++k) {
            if (!request.shown[k - 1]) continue;
            column.spreads[k - 1] = m.Spread[k - 1].value;
            column.grades[k - 1] = m.Grade[k - 1].value;
        }
        request.measures.push_back(std::move(column));
    }
    // Titled with the threshold the grades were read for.
    s.thrs = chc;
    request.thrs = chc;
    Figure chart = colourCodeChart(request);
    separateStarLabels(chart.axes);
    showChart(chart);
}

void ChartWindow::saveChartPicture()
{
    const Handles& h = h_;
    Session& s = ds_.session;
    s.thrs = stringOf(h["edit2"]);
    const ChartKind* shown = nullptr;
    for (const ChartKind& kind : chartKinds())
        if (!shown && valueOf(h[kind.tag]) == 1) shown = &kind;
    if (!shown) {
        (*ds_.dialogs).warning("Sorry, figure not found", kWarningTitle);
        return;
    }
    const fs::path folder = (afterAnalysis() ? fs::path(s.outputFolder) / s.analysisFolderName : fs::path(s.folder1)) / s.thrs;
    const std::string name = std::string("FsvColorCodeChart") + shown->namePart + "_" + s.thrs;
    // The extension is given: a threshold such as "85.5" would otherwise pass for one.
    const auto file = saveTarget(*ds_.dialogs, folder / (name + ".bmp"), "Save Chart");
    if (!file) return;
    tellSaved(*ds_.dialogs, savefigure(*shownChart_, file->string(), "bmp"), "Save Chart");
}

ChartWindow::ChartWindow(DesktopSession& ds, QWidget* widget)
    : LayoutWindow(ds, widget), shownChart_(std::make_unique<Figure>())
{
    HandlerTable t;
    for (std::size_t k = 1; k <= kSetSelectors; ++k)
        t[setSelector(k)] = [](QWidget* selector) { setValue(selector, valueOf(selector) == 1 ? 1 : 0); };
    t["edit2"] = [this](QWidget*) { thresholdTyped(); };
    t["slider3"] = [this](QWidget*) { thresholdMoved(); };
    t["pushbutton23"] = [this](QWidget*) { recompute(); };
    t["pushbutton22"] = [this](QWidget*) { saveChartPicture(); };
    t["pushbutton21"] = [this](QWidget*) { backToResults(true); };
    for (const ChartKind& kind : chartKinds()) t[kind.tag] = [this, &kind](QWidget*) { chartKindToggled(kind); };
    bind(std::move(t));
    QObject::connect(h_.get<QLineEdit>("edit2"), &QLineEdit::textEdited, this, [this] { thresholdEdited(); });
    widget->installEventFilter(new BackOnClose(widget, [this] {
        try {
            backToResults(false);  // the window deletes itself on close
        } catch (const std::exception& e) {
            ds_.dialogs->error(e.what(), "Error");  // nothing may escape into Qt's event handling
        }
    }));
}

ChartWindow::~ChartWindow() = default;

bool ChartWindow::afterAnalysis() const { return ds_.session.T == 1 || ds_.session.T == 2; }

std::size_t ChartWindow::loadedSets() const { return std::min(ds_.session.N_DATA, kSetSelectors); }

void ChartWindow::setLoadedSets(Enable state)
{
    for (std::size_t k = 1; k <= loadedSets(); ++k) setEnable(h_[setSelector(k)], state);
}

void ChartWindow::showChart(const Figure& chart)
{
    auto* plot = h_.get<QCustomPlot>("axes5");
    drawFigure(*plot, chart);
    boxLabels(*plot);
    plot->replot();
    *shownChart_ = chart;
}

void ChartWindow::showBareZones()
{
    Figure zones;
    paintChartZones(zones.axes);
    showChart(zones);
}

void ChartWindow::backToResults(bool deleteThis)
{
    DesktopSession& ds = ds_;
    if (deleteThis) deleteWindow(widget());
    ResultsWindow::showAgain(ds);
}

ChartWindow& ChartWindow::open(DesktopSession& ds)
{
    QWidget* figure1 = openLayout(kLayout);
    if (!ds.chartWindow || ds.chartWindow->widget() != figure1) ds.chartWindow = new ChartWindow(ds, figure1);
    ChartWindow& w = *ds.chartWindow;
    w.reset();
    figure1->show();
    figure1->raise();
    return w;
}

void ChartWindow::reset()
{
    const Handles& h = h_;
    setEnable(h["pushbutton22"], Enable::Off);
    setEnable(h["pushbutton23"], Enable::Off);
    for (std::size_t k = 1; k <= kSetSelectors; ++k) {
        QWidget* selector = h[setSelector(k)];
        selector->setVisible(true);
        setEnable(selector, k <= 2 ? Enable::On : Enable::Off);
    }
    h["text199"]->hide();

    // While browsing, the threshold is fixed until a chart shows which folders exist.
    const Enable threshold = afterAnalysis() ? Enable::On : Enable::Off;
    setEnable(h["edit2"], threshold);
    setSliderRange(h["slider3"], 0, 100, 0.5, 1);
    setValue(h["slider3"], 85);
    setEnable(h["slider3"], threshold);
    h["edit2"]->setToolTip(kThresholdTip);
    h["edit2"]->setStyleSheet({});
    // The analysis wrote the charts of the threshold it started with.
    computedThreshold_ = ds_.session.thrs.empty() ? ds_.session.startThreshold : ds_.session.thrs;

    h["text199"]->show();
    showBareZones();
    setLoadedSets(Enable::On);
}

}  // namespace orvane

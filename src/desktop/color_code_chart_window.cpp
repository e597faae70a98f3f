#include "desktop/color_code_chart_window.h"

#include "analysis/analysis.h"
#include "desktop/desktop.h"
#include "analysis/figure_files.h"
#include "analysis/result_files.h"
#include "method/grade_spread.h"
#include "figures/color_code_chart.h"
#include "desktop/callbacks.h"
#include "desktop/controls.h"
#include "render/figure_renderer.h"
#include "desktop/layouts.h"
#include "render/savefigure.h"
#include "desktop/results_window.h"
#include "base/text.h"

#include <QApplication>
#include <QEvent>
#include <qcustomplot.h>

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace orvane {

namespace {

constexpr const char* kLayout = "ColorCodeChart.fig";
constexpr const char* kBadThreshold = "You must enter a numeric value between (0..100)";
constexpr const char* kBadInputTitle = "Bad Input";
constexpr const char* kNotFound = "Directory/Files not found";
constexpr std::size_t kSetSelectors = 8;

// The chart kind selectors, in the order in which the first one on names a saved picture.
struct ChartKind {
    const char* tag;
    const char* namePart;
    std::vector<std::string> measures;
};

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

Session& session() { return desktop().session; }
Dialogs& dialogs() { return *desktop().dialogs; }
bool afterAnalysis() { return session().T == 1 || session().T == 2; }

// The data sets of the analysis that have a selector.
std::size_t loadedSets() { return std::min(session().N_DATA, kSetSelectors); }

// The chart in axes5, kept so that it can be saved as a picture.
Figure& shownChart()
{
    static Figure chart;
    return chart;
}

void showChart(const Handles& h, const Figure& chart)
{
    auto* plot = h.get<QCustomPlot>("axes5");
    drawFigure(*plot, chart);
    plot->replot();
    shownChart() = chart;
}

void showBareZones(const Handles& h)
{
    Figure zones;
    paintChartZones(zones.axes);
    showChart(h, zones);
}

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

void setLoadedSets(const Handles& h, Enable state)
{
    for (std::size_t k = 1; k <= loadedSets(); ++k) setEnable(h[setSelector(k)], state);
}

// A chart kind switched off, or its threshold folder not there: the threshold can be changed
// and another kind chosen.
void unlock(const Handles& h, const ChartKind& kind)
{
    setEnable(h["edit2"], Enable::On);
    setEnable(h["slider3"], Enable::On);
    setKinds(h, Enable::On, kind.tag);
}

void folderNotFound(const Handles& h, const ChartKind& kind)
{
    setValue(h[kind.tag], 0);
    unlock(h, kind);
    setEnable(h["pushbutton22"], Enable::Off);
}

// Stars of several measures or data sets often share a point, and their labels would print
// over each other: each further label on a point moves one line towards the middle of the
// plane, so all stay readable and inside it.
void separateCoincidentLabels(Axes& ax)
{
    constexpr double kLine = 0.3;    // grade units: a label's height at the window's size
    constexpr double kMiddle = 3.25;  // half the height of the plane
    std::map<std::pair<double, double>, int> onPoint;
    for (Text& label : ax.texts) {
        const int before = onPoint[{label.x, label.y}]++;
        label.y += (label.y > kMiddle ? -kLine : kLine) * before;
    }
}

const GradeSpread& measureOf(const LoadedGradeSpread& g, const std::string& name)
{
    return name == "ADM" ? g.ADM : name == "FDM" ? g.FDM : g.GDM;
}

void backToResults(QWidget* chartWindow)
{
    if (desktop().FigOrig) desktop().FigOrig->show();
    if (desktop().FigOrig1) desktop().FigOrig1->show();
    if (chartWindow) deleteWindow(chartWindow);
    results(1);
}

// Closing the window from its title bar goes back like the back button, so the hidden
// results window is not lost.
class BackOnClose : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The back button deletes the window without a close request.
        if (event->type() == QEvent::Close) {
            try {
                backToResults(nullptr);  // the window deletes itself on close
            } catch (const std::exception& e) {
                dialogs().error(e.what(), "Error");  // nothing may escape into Qt's event handling
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// ---- callbacks -------------------------------------------------------------------------

void thresholdTyped(const Handles& h)
{
    Session& s = session();
    if (const auto thrs1 = acceptedThreshold(stringOf(h["edit2"]))) {
        setValue(h["slider3"], str2double(*thrs1));
        setString(h["edit2"], *thrs1);
        s.thrs = *thrs1;
    } else {
        dialogs().error(kBadThreshold, kBadInputTitle);
    }
    if (afterAnalysis()) {
        // The stored charts belong to the old threshold until the recompute has run.
        setEnable(h["pushbutton23"], Enable::On);
        setKinds(h, Enable::Off);
    }
}

void thresholdMoved(const Handles& h)
{
    Session& s = session();
    s.thrs = num2str(valueOf(h["slider3"]));
    setString(h["edit2"], s.thrs);
    if (afterAnalysis()) setEnable(h["pushbutton23"], Enable::On);
}

// Every chart of every set for the threshold in edit2, saved into its folder as the analysis
// saves them, then the grades and spreads of that threshold.
void recompute(const Handles& h)
{
    Session& s = session();
    const auto thrs = acceptedThreshold(stringOf(h["edit2"]));
    if (!thrs) {
        dialogs().error(kBadThreshold, kBadInputTitle);
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
    const std::size_t sets = s.N_DATA + 1;
    auto numbered = [](const char* name, std::size_t k) { return name + std::to_string(k); };
    FigureFiles files(s, dialogs());
    const GradeSpread ADM = gradesAndSpreads(thr, ADMc);
    const GradeSpread FDM = gradesAndSpreads(thr, FDMc);
    for (std::size_t i = 0; i < sets; ++i) {
        files.chart({s.thrs, {{ADM.Spread[i].value, ADM.Grade[i].value, numbered("ADM_", i + 1)}}, {Kadm[i]}});
        files.chart({s.thrs, {{FDM.Spread[i].value, FDM.Grade[i].value, numbered("FDM_", i + 1)}}, {Kfdm[i]}});
    }
    const GradeSpread GDM = gradesAndSpreads(thr, GDMc);
    for (std::size_t i = 0; i < sets; ++i)
        files.chart(
            {s.thrs, {{GDM.Spread[i].value, GDM.Grade[i].value, numbered("GDM_", i + 1)}}, {Kadm[i], Kfdm[i]}});
    for (std::size_t i = 0; i < sets; ++i) {
        const ChartSeries a{ADM.Spread[i].value, ADM.Grade[i].value, numbered("ADM_", i + 1)};
        const ChartSeries f{FDM.Spread[i].value, FDM.Grade[i].value, numbered("FDM_", i + 1)};
        const ChartSeries g{GDM.Spread[i].value, GDM.Grade[i].value, numbered("GDM_", i + 1)};
        const std::vector<double> weights{Kadm[i], Kfdm[i]};
        files.chart({s.thrs, {a, f, g}, weights});
        files.chart({s.thrs, {a, f}, weights});
        files.chart({s.thrs, {a, g}, weights});
        files.chart({s.thrs, {f, g}, weights});
    }

    const fs::path thresholdFolder = analysisFolder / s.thrs;
    std::error_code ec;
    fs::create_directory(thresholdFolder, ec);
    if (!fs::is_directory(thresholdFolder)) throw Error("Cannot create the folder " + thresholdFolder.string());
    // Without the weights: they belong to the analysis, not to a threshold.
    writeGradeSpreadFile(thresholdFolder, s.D, s.N_DATA, s.S_MARKER, ADM, FDM, GDM);

    // Only now do the kinds find the grades and spreads of the new threshold.
    setKinds(h, Enable::On);
    setEnable(h["pushbutton23"], Enable::Off);
}

void chartKindToggled(const ChartKind& kind, const Handles& h)
{
    Session& s = session();
    s.saveCharts = 0;
    bool anySet = false;
    for (std::size_t k = 1; k <= kSetSelectors; ++k) anySet = anySet || valueOf(h[setSelector(k)]) == 1;
    if (!anySet) {
        if (dialogs().question({"Selection Error!", kQuitTitle, {"OK", "Help"}, "OK"}) == "Help")
            dialogs().warning("Sorry, no help available", kWarningTitle);
        for (const ChartKind& k : chartKinds()) setValue(h[k.tag], 0);
        return;
    }

    if (valueOf(h[kind.tag]) != 1) {
        // Switched off: nothing to read, back to the bare zones with everything unlocked.
        unlock(h, kind);
        setLoadedSets(h, Enable::On);
        showBareZones(h);
        return;
    }

    // The threshold folder named by edit2: a threshold typed or moved to but not recomputed
    // yet, or one never computed for browsed results, has none.
    const std::string chc = stringOf(h["edit2"]);
    const fs::path base = afterAnalysis() ? fs::path(s.outputFolder) / s.analysisFolderName : fs::path(s.folder1);
    const fs::path file = base / chc / kGradeSpreadFile;
    std::error_code ec;
    if (trimmed(chc).empty() || !fs::is_regular_file(file, ec)) {
        dialogs().warning(kNotFound, kWarningTitle);
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
    setEnable(h["edit2"], Enable::Inactive);
    setEnable(h["slider3"], Enable::Inactive);
    setKinds(h, Enable::Off, kind.tag);
    setLoadedSets(h, Enable::Off);

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
    separateCoincidentLabels(chart.axes);
    showChart(h, chart);
}

void saveChartPicture(const Handles& h)
{
    Session& s = session();
    s.thrs = stringOf(h["edit2"]);
    const ChartKind* shown = nullptr;
    for (const ChartKind& kind : chartKinds())
        if (!shown && valueOf(h[kind.tag]) == 1) shown = &kind;
    if (!shown) {
        dialogs().warning("Sorry, figure not found", kWarningTitle);
        return;
    }
    const fs::path folder = (afterAnalysis() ? fs::path(s.outputFolder) / s.analysisFolderName : fs::path(s.folder1)) / s.thrs;
    const std::string name = std::string("FsvColorCodeChart") + shown->namePart + "_" + s.thrs;
    // The extension is given: a threshold such as "85.5" would otherwise pass for one.
    savefigure(shownChart(), (folder / (name + ".bmp")).string(), "bmp");
}

}  // namespace

void ColorCodeChart()
{
    QWidget* figure1 = openLayout(kLayout);
    const Handles h(figure1);
    desktop().handles2 = h;
    if (!figure1->property("orvaneConnected").toBool()) {
        connectCallbacks(figure1);
        figure1->installEventFilter(new BackOnClose(figure1));
        figure1->setProperty("orvaneConnected", true);
    }

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

    h["text199"]->show();
    attachHandles(figure1, h);
    showBareZones(h);
    setLoadedSets(h, Enable::On);
    figure1->show();
    figure1->raise();
}

void registerChartWindowCallbacks()
{
    for (std::size_t k = 1; k <= kSetSelectors; ++k)
        registerCallback(setSelector(k) + "_Callback",
                         [](QWidget* selector, const Handles&) { setValue(selector, valueOf(selector) == 1 ? 1 : 0); });
    registerCallback("edit2_Callback", [](QWidget*, const Handles& h) { thresholdTyped(h); });
    registerCallback("slider3_Callback", [](QWidget*, const Handles& h) { thresholdMoved(h); });
    registerCallback("pushbutton23_Callback", [](QWidget*, const Handles& h) { recompute(h); });
    registerCallback("pushbutton22_Callback", [](QWidget*, const Handles& h) { saveChartPicture(h); });
    registerCallback("pushbutton21_Callback", [](QWidget*, const Handles& h) { backToResults(h.window()); });
    for (const ChartKind& kind : chartKinds())
        registerCallback(std::string(kind.tag) + "_Callback",
                         [&kind](QWidget*, const Handles& h) { chartKindToggled(kind, h); });
}

}  // namespace orvane

#include "desktop/results_window.h"

#include "analysis/report.h"
#include "desktop/color_code_chart_window.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "desktop/main_window.h"
#include "desktop/result_source.h"
#include "desktop/results_internal.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <qcustomplot.h>

#include <algorithm>

namespace orvane {

namespace {

// The pause keeps the event loop running, so the window draws its "preparing" state.
void pauseFor(std::chrono::milliseconds pause)
{
    if (pause.count() <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(pause, &loop, &QEventLoop::quit);
    loop.exec();
}

void show(const Handles& h, const char* tag, bool visible) { h[tag]->setVisible(visible); }
void enable(const Handles& h, const char* tag, bool on) { setEnable(h[tag], on ? Enable::On : Enable::Off); }

// The title bar's close button goes back like the back button: the main window is hidden
// while this one is open, and the program would end with no window left.
class BackOnClose : public QObject {
public:
    BackOnClose(QWidget* window, std::function<void()> back) : QObject(window), back_(std::move(back)) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        back_();
        return true;
    }

private:
    std::function<void()> back_;
};

}  // namespace

SetNumbers chosenSets(const Handles& h, std::size_t N_DATA)
{
    SetNumbers sets;
    for (std::size_t k = 1; k <= kSetSelectors.size() && k <= N_DATA; ++k)
        if (valueOf(h[kSetSelectors[k - 1]]) == 1) sets.push_back(k);
    return sets;
}

void deleteHeldWindow(QPointer<QWidget>& held)
{
    if (held) deleteWindow(held);
    held = nullptr;
}

// Done once per window: the handlers, and controls that keep their place while hidden so
// that nothing jumps when the state changes.
ResultsWindow::ResultsWindow(DesktopSession& ds, QWidget* window) : LayoutWindow(ds, window)
{
    // radiobutton39 only shows whether a folder is loaded.
    bind(handlers(), {"radiobutton39"});
    window->installEventFilter(new BackOnClose(window, [this] {
        try {
            back();
        } catch (const std::exception& e) {
            ds_.dialogs->error(e.what(), "Error");  // nothing may escape into Qt's event handling
        }
    }));
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString tag = w->objectName();
        // The analysis captions share one place, and what only changes while the window
        // opens takes room only when shown.
        if (tag == "text2" || tag == "text4" || tag == "text6" || tag == "text16" || tag == "pushbutton2" ||
            tag == "radiobutton39")
            continue;
        QSizePolicy p = w->sizePolicy();
        p.setRetainSizeWhenHidden(true);
        w->setSizePolicy(p);
    }
    // At the right of the screen: the original-data windows open at its left edge.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.x() + std::max(0, area.width() - window->width() - 10),
                     area.y() + std::max(0, (area.height() - window->height()) / 2));
    }
    auto* axes3 = h_.get<QCustomPlot>("axes3");
    axes3->axisRect()->setupFullAxesBox(true);
    clearPlotArea(*axes3);
}

ResultsWindow::~ResultsWindow()
{
    // The original-data windows belong to this one: they go with it.
    deleteHeldWindow(FigOrig_);
    deleteHeldWindow(FigOrig1_);
}

HandlerTable ResultsWindow::handlers()
{
    HandlerTable t;
    t["pushbutton1"] = [this](QWidget*) { back(); };
    t["pushbutton20"] = [this](QWidget*) { openChart(); };
    t["pushbutton45"] = [this](QWidget*) { openReport(); };
    for (std::size_t k = 1; k <= kSetSelectors.size(); ++k)
        t[kSetSelectors[k - 1]] = [this, k](QWidget* control) { selectorToggled(k, control); };
    for (const PlotSelection& p : kPlotSelections)
        t[p.tag] = [this, &p](QWidget* control) { plotSelectionToggled(p, control); };
    t["pushbutton44"] = [this](QWidget*) { showOriginalData(); };
    t["pushbutton33"] = [this](QWidget*) { closeOriginalData(); };
    t["pushbutton2"] = [this](QWidget*) { chooseSavedFolder(); };
    t["pushbutton10"] = [this](QWidget*) { savePlot(); };
    return t;
}

ResultsWindow* ResultsWindow::open(DesktopSession& ds)
{
    QWidget* widget = openLayout("results.fig");
    if (!ds.resultsWindow || ds.resultsWindow->widget() != widget) ds.resultsWindow = new ResultsWindow(ds, widget);
    QPointer<ResultsWindow> window = ds.resultsWindow;
    window->showPreparing();
    pauseFor(ds.resultsPreparingPause);
    if (!window) return nullptr;  // closed while preparing
    window->showControls();
    return window;
}

void ResultsWindow::showPreparing()
{
    widget()->setBackgroundRole(QPalette::Window);  // the system's control background
    for (const char* tag : {"pushbutton1", "pushbutton20", "pushbutton45", "text2", "text4", "text6", "frame4", "text14",
                            "pushbutton2", "pushbutton10"})
        show(h_, tag, false);
    auto* axes3 = h_.get<QCustomPlot>("axes3");
    setPlotBox(*axes3, false);
    axes3->setVisible(false);
    for (const PlotSelection& p : kPlotSelections) show(h_, p.tag, false);
    widget()->show();
}

void ResultsWindow::showControls()
{
    const Handles& h = h_;
    const Session& s = ds_.session;
    show(h, "text16", false);

    for (const PlotSelection& p : kPlotSelections) {
        show(h, p.tag, true);
        enable(h, p.tag, false);
    }
    showWhitePlotArea();
    if (s.T == 0) {
        for (const char* tag : kSetSelectors) enable(h, tag, false);
    } else {
        show(h, "text14", true);
        show(h, "pushbutton44", true);
        for (std::size_t k = 1; k <= kSetSelectors.size(); ++k)
            enable(h, kSetSelectors[k - 1], k <= 2 || k <= s.N_DATA);
    }

    if (s.T == 1) {
        if (s.D == 0) show(h, "text4", true);
        else if (s.D == 1) show(h, "text2", true);
        show(h, "pushbutton2", false);
        show(h, "pushbutton20", true);
        show(h, "pushbutton45", true);
    } else if (s.T == 2) {
        show(h, "text4", true);
        show(h, "pushbutton2", false);
        show(h, "pushbutton20", true);
        show(h, "pushbutton45", true);
    } else {
        for (const char* tag : {"text2", "text4", "text6"}) show(h, tag, false);
        show(h, "pushbutton2", true);
    }

    show(h, "pushbutton1", true);
    show(h, "frame4", true);
    for (const PlotSelection& p : kPlotSelections) setValue(h[p.tag], 0);
}

void ResultsWindow::showWhitePlotArea()
{
    auto* axes3 = h_.get<QCustomPlot>("axes3");
    setPlotBox(*axes3, true);
    axes3->setVisible(true);
    axes3->setBackground(Qt::white);
    axes3->replot();
}

void ResultsWindow::showAgain(DesktopSession& ds)
{
    ResultsWindow* window = ds.resultsWindow;
    if (!window) {
        open(ds);
        return;
    }
    if (window->FigOrig_) window->FigOrig_->show();
    if (window->FigOrig1_) window->FigOrig1_->show();
    Session& s = ds.session;
    try {
        std::filesystem::path file;
        if (s.T == 1 || s.T == 2) file = currentResultFile(s);
        else file = firstResultFile(s.folder1);
        // Browsing a folder that lost its result files: the globals keep their values.
        if (!file.empty()) storeGlobals(s, readDomainAndSets(file));
    } catch (const std::exception& e) {
        window->warnUnreadable(e);
    }
    window->widget()->setVisible(true);
}

void ResultsWindow::warnUnreadable(const std::exception& e)
{
    ds_.dialogs->warning(std::string("The results cannot be read.\n") + e.what(), kWarningTitle);
}

void ResultsWindow::forgetOriginalDataWindows()
{
    FigOrig_ = nullptr;
    FigOrig1_ = nullptr;
}

// Data set selector k: on keeps it on and usable; off is kept, except for set 1, whose
// handler leaves it alone.
void ResultsWindow::selectorToggled(std::size_t k, QWidget* control)
{
    if (valueOf(control) == 1) {
        setEnable(control, Enable::On);
        setValue(control, 1);
    } else if (k > 1) {
        setValue(control, 0);
    }
}

void ResultsWindow::back()
{
    DesktopSession& ds = ds_;
    deleteHeldWindow(FigOrig_);
    deleteHeldWindow(FigOrig1_);
    ds.session.Dest1 = "0";
    deleteWindow(widget());
    MainWindow::open(ds);
}

void ResultsWindow::openReport() { orvane::openReport(currentResultFile(ds_.session).parent_path()); }

void ResultsWindow::openChart()
{
    ds_.session.saveCharts = 0;
    if (FigOrig_) FigOrig_->hide();
    if (FigOrig1_) FigOrig1_->hide();
    widget()->hide();
    ChartWindow::open(ds_);
}

}  // namespace orvane

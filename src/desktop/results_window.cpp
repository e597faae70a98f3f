#include "desktop/results_window.h"

#include "desktop/main_window.h"
#include "desktop/color_code_chart_window.h"
#include "desktop/callbacks.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"
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

std::chrono::milliseconds preparingPause{2000};

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

// The title bar's close button goes back like pushbutton1: the main window is hidden while
// this one is open, and the program would end with no window left.
class BackOnClose : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        runCallback("pushbutton1_Callback", static_cast<QWidget*>(watched), handlesOf(static_cast<QWidget*>(watched)));
        return true;
    }
};

// Done once per window: the callbacks, and controls that keep their place while hidden so
// that nothing jumps when the state changes.
void prepareNewWindow(QWidget* window)
{
    if (window->property("orvaneResultsWindow").toBool()) return;
    window->setProperty("orvaneResultsWindow", true);
    connectCallbacks(window);
    window->installEventFilter(new BackOnClose(window));
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
    auto* axes3 = Handles(window).get<QCustomPlot>("axes3");
    axes3->axisRect()->setupFullAxesBox(true);
    clearPlotArea(*axes3);
    shownPlot().reset();
    // The original-data windows belong to this one: they go when it is closed.
    QObject::connect(window, &QObject::destroyed, [] {
        deleteHeldWindow(desktop().FigOrig);
        deleteHeldWindow(desktop().FigOrig1);
    });
}

void showWhitePlotArea(const Handles& h)
{
    auto* axes3 = h.get<QCustomPlot>("axes3");
    setPlotBox(*axes3, true);
    axes3->setVisible(true);
    axes3->setBackground(Qt::white);
    axes3->replot();
}

// Data set selector k: on keeps it on and usable; off is kept, except for set 1, whose
// callback leaves it alone.
void selectorCallback(std::size_t k, QWidget* control)
{
    if (valueOf(control) == 1) {
        setEnable(control, Enable::On);
        setValue(control, 1);
    } else if (k > 1) {
        setValue(control, 0);
    }
}

// Back to the main window.
void pushbutton1(const Handles& h)
{
    deleteHeldWindow(desktop().FigOrig);
    deleteHeldWindow(desktop().FigOrig1);
    session().Dest1 = "0";
    deleteWindow(h.window());
    openMainWindow();
}


// The colour code chart: this window and the original data step aside until it returns.
void pushbutton20(const Handles& h)
{
    session().saveCharts = 0;
    if (desktop().FigOrig) desktop().FigOrig->hide();
    if (desktop().FigOrig1) desktop().FigOrig1->hide();
    h.window()->hide();
    ColorCodeChart();
}

}  // namespace

void setResultsPreparingPause(std::chrono::milliseconds pause) { preparingPause = pause; }

SetNumbers chosenSets(const Handles& h, std::size_t N_DATA)
{
    SetNumbers sets;
    for (std::size_t k = 1; k <= kSetSelectors.size() && k <= N_DATA; ++k)
        if (valueOf(h[kSetSelectors[k - 1]]) == 1) sets.push_back(k);
    return sets;
}

void warnUnreadable(const std::exception& e)
{
    desktop().dialogs->warning(std::string("The results cannot be read.\n") + e.what(), kWarningTitle);
}

void deleteHeldWindow(QPointer<QWidget>& held)
{
    if (held) deleteWindow(held);
    held = nullptr;
}

void results()
{
    QPointer<QWidget> window = openLayout("results.fig");
    prepareNewWindow(window);
    window->setBackgroundRole(QPalette::Window);  // the system's control background

    const Handles h(window);
    desktop().handles1 = h;
    const Session& s = session();

    for (const char* tag : {"pushbutton1", "pushbutton20", "text2", "text4", "text6", "frame4", "text14",
                            "pushbutton2", "pushbutton10"})
        show(h, tag, false);
    auto* axes3 = h.get<QCustomPlot>("axes3");
    setPlotBox(*axes3, false);
    axes3->setVisible(false);
    for (const PlotSelection& p : kPlotSelections) show(h, p.tag, false);
    window->show();

    pauseFor(preparingPause);
    if (!window) return;  // closed while preparing
    show(h, "text16", false);

    for (const PlotSelection& p : kPlotSelections) {
        show(h, p.tag, true);
        enable(h, p.tag, false);
    }
    showWhitePlotArea(h);
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
    } else if (s.T == 2) {
        show(h, "text4", true);
        show(h, "pushbutton2", false);
        show(h, "pushbutton20", true);
    } else {
        for (const char* tag : {"text2", "text4", "text6"}) show(h, tag, false);
        show(h, "pushbutton2", true);
    }

    show(h, "pushbutton1", true);
    show(h, "frame4", true);
    for (const PlotSelection& p : kPlotSelections) setValue(h[p.tag], 0);
    attachHandles(window, h);
}

void results(int /*again*/)
{
    QWidget* window = desktop().handles1.window();
    if (!window) {
        results();
        return;
    }
    Session& s = session();
    try {
        std::filesystem::path file;
        if (s.T == 1 || s.T == 2) file = currentResultFile(s);
        else file = firstResultFile(s.folder1);
        // Browsing a folder that lost its result files: the globals keep their values.
        if (!file.empty()) storeGlobals(s, readDomainAndSets(file));
    } catch (const std::exception& e) {
        warnUnreadable(e);
    }
    window->setVisible(true);
}

void registerResultsWindowCallbacks()
{
    registerCallback("pushbutton1_Callback", [](QWidget*, const Handles& h) { pushbutton1(h); });
    registerCallback("pushbutton20_Callback", [](QWidget*, const Handles& h) { pushbutton20(h); });
    for (std::size_t k = 1; k <= kSetSelectors.size(); ++k)
        registerCallback(std::string(kSetSelectors[k - 1]) + "_Callback",
                         [k](QWidget* control, const Handles&) { selectorCallback(k, control); });
    registerPlotSelectionCallbacks();
    registerOriginalDataCallbacks();
    registerSavedFolderCallbacks();
    registerPlotExportCallbacks();
}

}  // namespace orvane

// The original-data window and its class legend window, opened and closed from the results
// window, and their close request.
#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "desktop/result_source.h"
#include "desktop/results_internal.h"
#include "desktop/results_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <cmath>

namespace orvane {

namespace {

constexpr const char* kLegendTag = "Legend";
constexpr const char* kOriginalTag = "Original";

// Routes the window's close button to my_closereq, which decides whether it closes.
class CloseRequest : public QObject {
public:
    CloseRequest(QWidget* window, DesktopSession& ds) : QObject(window), ds_(ds) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        try {
            ResultsWindow::my_closereq(ds_, static_cast<QWidget*>(watched));
        } catch (const std::exception& e) {
            ds_.dialogs->error(e.what(), "Error");  // nothing may escape into Qt's event handling
        }
        return true;
    }

private:
    DesktopSession& ds_;
};

QRect screenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

// Places a window by its left and bottom edges, counted from the screen's lower left corner.
void placeWindow(QWidget* window, int left, int bottom, int width, int height)
{
    const QRect screen = screenArea();
    const int top = std::max(0, screen.height() - bottom - height);
    window->setGeometry(screen.x() + left, screen.y() + top, width, height);
}

QWidget* newPlainWindow(DesktopSession& ds, const char* tag, const char* title)
{
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(tag);
    window->setWindowTitle(title);
    window->setAttribute(Qt::WA_DeleteOnClose, false);  // only my_closereq deletes it
    window->installEventFilter(new CloseRequest(window, ds));
    return window;
}

QWidget* openLegendWindow(DesktopSession& ds)
{
    QWidget* window = newPlainWindow(ds, kLegendTag, "Class Legend");
    placeWindow(window, 42, 200, 470, 160);
    auto* list = new QListWidget(window);
    list->setObjectName("textbox");
    list->setGeometry(5, 5, 460, 150);
    for (const std::string& line : classLegendLines()) list->addItem(QString::fromStdString(line));
    window->show();
    return window;
}

QWidget* openOriginalWindow(DesktopSession& ds, const ResultPlot& plot)
{
    QWidget* window = newPlainWindow(ds, kOriginalTag, "Original Dataset");
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* axes = new QCustomPlot(window);
    axes->setObjectName("axes1");
    layout->addWidget(axes);
    axes->axisRect()->setupFullAxesBox(true);
    drawResultPlot(*axes, plot);
    // A third of the screen wide, but never too small to read.
    const QRect screen = screenArea();
    placeWindow(window, 45, 420, std::max(480, screen.width() / 3),
                std::max(360, static_cast<int>(std::lround(screen.height() / 2.5))));
    axes->replot();
    window->show();
    return window;
}

// Deletes the window being closed; the pointer that holds it (by its tag) is emptied. A
// window already let go of (see the saved-folder chooser) still closes.
void closeOriginalWindow(DesktopSession& ds, QWidget* window)
{
    if (ResultsWindow* results = ds.resultsWindow) {
        if (results->originalWindow() == window || results->legendWindow() == window)
            results->forgetOriginalDataWindow(window);
    }
    deleteWindow(window);
}

}  // namespace

void ResultsWindow::showOriginalData()
{
    const Handles& h = h_;
    Session& s = ds_.session;
    // A selector still on from a folder with more sets than this one does not count.
    if (chosenSets(h, s.N_DATA).empty()) {
        const std::string answer =
            ds_.dialogs->question(Question("Selection Error!", kQuitTitle, {"OK", "Help"}, "OK"));
        if (answer == "Help") ds_.dialogs->warning("Sorry, no help available", kWarningTitle);
        return;
    }
    // Read first: a folder without readable results leaves the data set choice as it is.
    const std::filesystem::path file = firstResultFile(resultFolder(s));
    if (file.empty()) {
        ds_.dialogs->warning(".mat file not available!!", kWarningTitle);
        return;
    }
    CurveResults r;
    try {
        r = readCurves(file, "Mdata");
    } catch (const std::exception& e) {
        warnUnreadable(e);
        return;
    }
    storeGlobals(s, r.header);

    for (const char* tag : kSetSelectors) setEnable(h[tag], Enable::Off);
    for (const PlotSelection& p : kPlotSelections) {
        setEnable(h[p.tag], Enable::On);
        setValue(h[p.tag], 0);
    }
    h["pushbutton33"]->setVisible(true);

    FigOrig1_ = openLegendWindow(ds_);
    ResultPlot plot;
    plot.figure = originalDataFigure(r.abscissa, r.curves, chosenSets(h, s.N_DATA), s.S_MARKER, s.D,
                                     r.header.reference);
    FigOrig_ = openOriginalWindow(ds_, plot);
    setEnable(h["pushbutton44"], Enable::Off);
}

void ResultsWindow::closeOriginalData()
{
    const Handles& h = h_;
    deleteHeldWindow(FigOrig_);
    deleteHeldWindow(FigOrig1_);
    for (const char* tag : kSetSelectors) setValue(h[tag], 0);
    const std::size_t N_DATA = ds_.session.N_DATA;
    for (std::size_t k = 1; k <= kSetSelectors.size(); ++k)
        if (k <= 2 || k <= N_DATA) setEnable(h[kSetSelectors[k - 1]], Enable::On);
    h["pushbutton10"]->setVisible(false);
    setEnable(h["pushbutton44"], Enable::On);
    for (const PlotSelection& p : kPlotSelections) {
        setValue(h[p.tag], 0);
        setEnable(h[p.tag], Enable::Off);
    }
    auto* axes3 = h.get<QCustomPlot>("axes3");
    shownPlot_.reset();
    clearPlotArea(*axes3);
    axes3->replot();
}

void ResultsWindow::forgetOriginalDataWindow(QWidget* window)
{
    if (FigOrig_ == window) FigOrig_ = nullptr;
    if (FigOrig1_ == window) FigOrig1_ = nullptr;
}

void ResultsWindow::my_closereq(DesktopSession& ds, QWidget* window)
{
    const std::string answer = ds.dialogs->question(
        Question("Close Specified Figure?", "Close Request Function", {"Yes", "No"}, "Yes"));
    if (answer != "Yes") return;
    // Either window of the shown original data: both go, and the results window is back at
    // the data set choice, as "Close Original Data" leaves it (not locked on data no longer shown).
    if (ResultsWindow* results = ds.resultsWindow;
        results && (results->originalWindow() == window || results->legendWindow() == window)) {
        results->closeOriginalData();
        return;
    }
    closeOriginalWindow(ds, window);
}

}  // namespace orvane

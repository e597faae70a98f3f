// The results window: data set selectors, original data, the result plots, plot export and
// saved results folders. Its original-data window and that window's legend belong to it.
#pragma once

#include "desktop/layout_window.h"

#include <QPointer>

#include <cstddef>
#include <exception>
#include <memory>

namespace orvane {

struct PlotSelection;
struct ResultPlot;

class ResultsWindow : public LayoutWindow {
public:
    // results(): opens the results window for the analysis just run (T = 1 or 2) or for
    // browsing a saved folder (T = 0). The controls stay hidden for the preparing pause
    // first; null when the window was closed during it.
    static ResultsWindow* open(DesktopSession& ds);

    // results(1): shows the window again after the colour code chart window, with its
    // original data and with D and N_DATA reloaded from the current result file. Opens it
    // anew if it is gone.
    static void showAgain(DesktopSession& ds);

    // The close request of the original-data window and of its legend window: asks "Close
    // Specified Figure?" and on "Yes" closes both as "Close Original Data" does.
    static void my_closereq(DesktopSession& ds, QWidget* window);

    ~ResultsWindow() override;

    // The original-data window and its legend window; null when none is open.
    QWidget* originalWindow() const { return FigOrig_; }
    QWidget* legendWindow() const { return FigOrig1_; }
    // Lets go of them (or of one) without closing them.
    void forgetOriginalDataWindows();
    void forgetOriginalDataWindow(QWidget* window);

private:
    ResultsWindow(DesktopSession& ds, QWidget* widget);
    HandlerTable handlers();
    void showPreparing();
    void showControls();
    void showWhitePlotArea();
    void warnUnreadable(const std::exception& e);

    // Back to the main window: the back button and the title bar's close button.
    void back();
    // report.html of the analysis shown, in the desktop's browser (through the document opener).
    void openReport();
    // The colour code chart: this window and the original data step aside until it returns.
    void openChart();
    void selectorToggled(std::size_t k, QWidget* control);

    // The six plot selections (result_plots.cpp).
    void plotSelectionToggled(const PlotSelection& p, QWidget* control);
    void plotSelection(const PlotSelection& p);
    void setPlotButtons(const PlotSelection& own, bool selected);
    void clearAxes3();

    // The original data (original_data.cpp).
    void showOriginalData();
    void closeOriginalData();

    // A saved folder (saved_folder.cpp).
    void chooseSavedFolder();
    void forgetFolder();
    void showLoadedFolder(const std::string& folder);
    void showSelectors(std::size_t N_DATA);
    void disablePlotSelections();

    // The plot as a picture (plot_export.cpp).
    void savePlot();
    std::unique_ptr<QWidget> copyPlotAreas();

    QPointer<QWidget> FigOrig_, FigOrig1_;
    std::unique_ptr<ResultPlot> shownPlot_;  // what axes3 shows; null when it is clear
};

}  // namespace orvane

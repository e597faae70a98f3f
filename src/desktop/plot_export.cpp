#include "desktop/plot_export.h"

#include "analysis/result_files.h"
#include "desktop/controls.h"
#include "render/savefigure.h"
#include "desktop/result_source.h"
#include "desktop/results_internal.h"
#include "desktop/results_window.h"
#include "desktop/saving.h"

#include <QPainter>
#include <qcustomplot.h>

#include <memory>

namespace orvane {

namespace fs = std::filesystem;

fs::path plotExportName(const Session& s, const std::string& stem)
{
    if (s.T == 1) return resultFolder(s) / (stem + " magnitude");
    if (s.T == 2) return resultFolder(s) / (stem + " phase");
    const fs::path folder(s.folder1);
    std::error_code ec;
    if (fs::is_regular_file(folder / kMagnitudeAnalysisFile, ec)) return folder / (stem + " magnitude");
    if (fs::is_regular_file(folder / kPhaseAnalysisFile, ec)) return folder / (stem + " phase");
    return folder / (stem + "c");
}

// A copy of the window's visible plot areas at their places, cut to the part of the window
// they cover (the controls beside them would leave a blank band), in a window never shown.
std::unique_ptr<QWidget> ResultsWindow::copyPlotAreas()
{
    QWidget& window = *widget();
    QRect covered;
    for (QCustomPlot* plot : window.findChildren<QCustomPlot*>())
        if (!plot->isHidden()) covered |= QRect(plot->mapTo(&window, QPoint(0, 0)), plot->size());
    if (covered.isEmpty()) covered = window.rect();
    auto copy = std::make_unique<QWidget>(nullptr, Qt::Window);
    copy->setAttribute(Qt::WA_DontShowOnScreen);
    copy->resize(covered.size());
    for (QCustomPlot* plot : window.findChildren<QCustomPlot*>()) {
        if (plot->isHidden()) continue;
        auto* area = new QCustomPlot(copy.get());
        area->setGeometry(QRect(plot->mapTo(&window, QPoint(0, 0)) - covered.topLeft(), plot->size()));
        area->axisRect()->setupFullAxesBox(true);
        setPlotBox(*area, plot->xAxis2->visible());
        if (plot->objectName() == "axes3" && shownPlot_) drawResultPlot(*area, *shownPlot_);
        else clearPlotArea(*area);
    }
    return copy;
}

void ResultsWindow::savePlot()
{
    const Handles& h = h_;
    const PlotSelection* chosen = nullptr;
    for (const PlotSelection& p : kPlotSelections)
        if (valueOf(h[p.tag]) == 1) {
            chosen = &p;
            break;
        }
    if (!chosen) return;  // the button shows only while a plot is selected
    const auto file = saveTarget(*ds_.dialogs, plotExportName(ds_.session, chosen->variable).string() + ".bmp",
                                 "Save Plot");
    if (!file) return;
    const std::unique_ptr<QWidget> copy = copyPlotAreas();
    tellSaved(*ds_.dialogs, savefigure(*copy, file->string(), "bmp"), "Save Plot");
}

}  // namespace orvane

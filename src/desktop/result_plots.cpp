// The six plot selections of the results window and the drawing of its plot area.
#include "desktop/controls.h"
#include "render/figure_renderer.h"
#include "render/legend_place.h"
#include "desktop/result_source.h"
#include "desktop/results_internal.h"
#include "desktop/results_window.h"

#include <qcustomplot.h>

namespace orvane {

namespace {

void setTickers(QCustomPlot& plot, const QSharedPointer<QCPAxisTicker>& xTicker)
{
    plot.xAxis->setTicker(xTicker);
    plot.xAxis2->setTicker(xTicker);
    const QSharedPointer<QCPAxisTicker> yTicker(new QCPAxisTicker);
    plot.yAxis->setTicker(yTicker);
    plot.yAxis2->setTicker(yTicker);
}

}  // namespace

void drawResultPlot(QCustomPlot& plot, const ResultPlot& p)
{
    drawFigure(plot, p.figure);
    if (p.classTicks) {
        QSharedPointer<QCPAxisTickerFixed> classes(new QCPAxisTickerFixed);
        classes->setTickStep(1);
        classes->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        setTickers(plot, classes);
    } else {
        setTickers(plot, QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    }
    plot.xAxis2->setRange(plot.xAxis->range());
    plot.yAxis2->setRange(plot.yAxis->range());
    plot.axisRect()->insetLayout()->setInsetAlignment(0, bestLegendCorner(p.figure));
}

void clearPlotArea(QCustomPlot& plot)
{
    drawResultPlot(plot, ResultPlot{});
    plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

void setPlotBox(QCustomPlot& plot, bool on)
{
    plot.xAxis2->setVisible(on);
    plot.yAxis2->setVisible(on);
    plot.xAxis2->setTickLabels(false);
    plot.yAxis2->setTickLabels(false);
}

void ResultsWindow::setPlotButtons(const PlotSelection& own, bool selected)
{
    h_["pushbutton10"]->setVisible(selected);
    for (const PlotSelection& p : kPlotSelections)
        if (!selected || p.tag != own.tag) setEnable(h_[p.tag], selected ? Enable::Off : Enable::On);
}

void ResultsWindow::clearAxes3()
{
    auto* axes3 = h_.get<QCustomPlot>("axes3");
    clearPlotArea(*axes3);
    axes3->replot();
}

// Draws the selection's variable for the chosen sets, read from the current result file.
void ResultsWindow::plotSelection(const PlotSelection& p)
{
    Session& s = ds_.session;
    const std::filesystem::path file = currentResultFile(s);
    ResultPlot plot;
    if (p.histogram) {
        const HistogramResults r = readHistograms(file, p.variable);
        storeGlobals(s, r.header, false);
        plot.figure = histogramFigure(p.variable, r.histograms, chosenSets(h_, s.N_DATA), s.S_MARKER, s.T);
        plot.classTicks = true;
    } else {
        const CurveResults r = readCurves(file, p.variable);
        storeGlobals(s, r.header);
        plot.figure =
            pointByPointFigure(p.variable, r.abscissa, r.curves, chosenSets(h_, s.N_DATA), s.S_MARKER, s.T, s.D);
    }
    auto* axes3 = h_.get<QCustomPlot>("axes3");
    drawResultPlot(*axes3, plot);
    axes3->replot();
    shownPlot_ = std::make_unique<ResultPlot>(std::move(plot));
}

void ResultsWindow::plotSelectionToggled(const PlotSelection& p, QWidget* control)
{
    if (valueOf(control) == 1) {
        setPlotButtons(p, true);
        try {
            plotSelection(p);
            return;
        } catch (const std::exception& e) {
            // Back to the state before the selection, so that another can be tried.
            setValue(control, 0);
            warnUnreadable(e);
        }
    }
    setPlotButtons(p, false);
    // Only the first selection forgets the others while browsing.
    if (p.tag == kPlotSelections[0].tag && ds_.session.T == 0)
        for (const PlotSelection& q : kPlotSelections) setValue(h_[q.tag], 0);
    shownPlot_.reset();
    clearAxes3();
}

}  // namespace orvane

// What the pieces of the results window share: its control tags, the chosen data sets, the
// plot area's drawing.
#pragma once

#include "analysis/session.h"
#include "desktop/handles.h"
#include "figures/figure.h"
#include "figures/result_figures.h"

#include <QPointer>

#include <array>

class QCustomPlot;

namespace orvane {

// Data set selectors 1 … 8, in set order.
inline constexpr std::array<const char*, kDataSlots> kSetSelectors = {
    "radiobutton38", "radiobutton54", "radiobutton40", "radiobutton41",
    "radiobutton42", "radiobutton43", "radiobutton44", "radiobutton45"};

// The six plot selections and the variable each one plots, in the order they are tested.
struct PlotSelection {
    const char* tag;
    const char* variable;
    bool histogram;
};
inline constexpr std::array<PlotSelection, 6> kPlotSelections = {{{"radiobutton19", "ADMi", false},
                                                                  {"radiobutton20", "FDMi", false},
                                                                  {"radiobutton21", "GDMi", false},
                                                                  {"radiobutton25", "ADMc", true},
                                                                  {"radiobutton26", "FDMc", true},
                                                                  {"radiobutton27", "GDMc", true}}};

// The sets whose selectors are on, up to N_DATA.
SetNumbers chosenSets(const Handles& h, std::size_t N_DATA);

// What a plot area shows, kept so that it can be drawn again elsewhere (the export copy).
struct ResultPlot {
    Figure figure;
    bool classTicks = false;  // x ticks at the six classes
};

// Draws p into the plot area with the legend at the corner where it hides the least data.
void drawResultPlot(QCustomPlot& plot, const ResultPlot& p);

// Clears the plot area completely: curves, texts, legend, title, labels, limits and grid.
void clearPlotArea(QCustomPlot& plot);

// The box around a plot area: the top and right axes lines.
void setPlotBox(QCustomPlot& plot, bool on);

// Deletes the window a pointer holds and empties the pointer.
void deleteHeldWindow(QPointer<QWidget>& held);

}  // namespace orvane

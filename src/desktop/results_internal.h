// What the parts of the results window share: its control tags, the chosen data sets, the
// plot area's drawing and the way read failures are told.
#pragma once

#include "desktop/desktop.h"
#include "desktop/handles.h"
#include "figures/figure.h"
#include "figures/result_figures.h"

#include <QPointer>

#include <array>
#include <exception>
#include <optional>

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

inline Session& session() { return desktop().session; }

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

// What axes3 shows now; nothing when it is clear.
std::optional<ResultPlot>& shownPlot();

// Tells the user that the results could not be read (naming the file and the variable).
void warnUnreadable(const std::exception& e);

// Deletes the window a global holds and empties the global.
void deleteHeldWindow(QPointer<QWidget>& held);

// The callbacks of each part of the window.
void registerPlotSelectionCallbacks();
void registerOriginalDataCallbacks();
void registerSavedFolderCallbacks();
void registerPlotExportCallbacks();

}  // namespace orvane

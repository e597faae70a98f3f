// The colour code chart window: stored charts per data set and measure, new thresholds,
// chart export.
#pragma once

#include "desktop/controls.h"
#include "desktop/layout_window.h"

#include <cstddef>
#include <memory>
#include <string>

namespace orvane {

struct ChartKind;
struct Figure;

class ChartWindow : public LayoutWindow {
public:
    // ColorCodeChart(): opens the chart window from the results window (which it replaces on
    // screen until the user goes back). Pictures of browsed results go into the browsed folder.
    static ChartWindow& open(DesktopSession& ds);
    ~ChartWindow() override;

private:
    ChartWindow(DesktopSession& ds, QWidget* widget);
    void reset();
    bool afterAnalysis() const;
    // The data sets of the analysis that have a selector.
    std::size_t loadedSets() const;
    void setLoadedSets(Enable state);
    void showChart(const Figure& chart);
    void showBareZones();

    void thresholdTyped();
    void thresholdEdited();
    void thresholdMoved();
    // Every chart of every set for the threshold in edit2, saved into its folder as the
    // analysis saves them, then the grades and spreads of that threshold.
    void recompute();
    void chartKindToggled(const ChartKind& kind);
    void saveChartPicture();
    // Back to the results window, which shows itself and its original data again.
    void backToResults(bool deleteThis);

    std::string computedThreshold_;  // the threshold whose charts and grades are on disk
    std::unique_ptr<Figure> shownChart_;  // the chart in axes5, kept to be saved as a picture
};

}  // namespace orvane

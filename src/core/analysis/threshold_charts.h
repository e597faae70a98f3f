// The colour code charts of one threshold. The analysis draws them between its stages; a
// threshold recomputed later draws them all at once, in the same order.
#pragma once

#include "analysis/figure_sinks.h"
#include "method/grade_spread.h"

#include <array>

namespace orvane {

struct ThresholdCharts {
    const std::string& thrs;
    const GradeSpread& adm;
    const GradeSpread& fdm;
    const GradeSpread& gdm;
    const Vec& Kadm;
    const Vec& Kfdm;

    // The one-measure charts of set i (0-based): ADM and FDM with their own weight, GDM with both.
    ChartRequest admChart(std::size_t i) const;
    ChartRequest fdmChart(std::size_t i) const;
    ChartRequest gdmChart(std::size_t i) const;
    // ADM+FDM+GDM, ADM+FDM, ADM+GDM and FDM+GDM of set i, in that order.
    std::array<ChartRequest, 4> combinedCharts(std::size_t i) const;

    // Every chart of every set: ADM and FDM of each set, then GDM of each, then the
    // combined ones of each.
    void drawAll(ChartSink& sink) const;
};

}  // namespace orvane

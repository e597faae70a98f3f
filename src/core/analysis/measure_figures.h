// The figures the analysis hands over per set: its low and high parts, and for every measure
// the point-by-point curve and the histogram of its classes.
#pragma once

#include "method/classes.h"
#include "analysis/figure_sinks.h"

#include <string>

namespace orvane {

// "Low Data_k magnitude" and "High Data_k magnitude" for every set, low before high; in a
// magnitude analysis the absolute values are drawn.
void drawLowHighParts(const PlotContext& plots, const Vec& abscissa, const SetList& LowData, const SetList& HighData);

// "ADMi_2 magnitude" style line figure of set k (1-based) among `sets` sets.
void drawPointByPoint(const PlotContext& plots, const char* name, std::size_t k, std::size_t sets,
                      const Vec& abscissa, const Vec& values);

// "ADMc_2 magnitude" histogram figure of set k with the accepted-but-undrawn extras.
void drawHistogram(const PlotContext& plots, const char* name, std::size_t k, const Histogram& h,
                   std::vector<double> extras);

}  // namespace orvane

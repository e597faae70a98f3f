// The two figures every measure hands over per set: the point-by-point curve and the
// histogram of its classes.
#pragma once

#include "measures/classes.h"
#include "measures/graphic.h"

#include <string>

namespace orvane {

// "ADMi_2 magnitude" style line figure of set k (1-based) among `sets` sets.
void drawPointByPoint(const PlotContext& plots, const char* name, std::size_t k, std::size_t sets,
                      const Vec& Mfreq, const Vec& values);

// "ADMc_2 magnitude" histogram figure of set k with the accepted-but-undrawn extras.
void drawHistogram(const PlotContext& plots, const char* name, std::size_t k, const Histogram& h,
                   std::vector<double> extras);

}  // namespace orvane

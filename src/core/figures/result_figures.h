// The figures of the results window as window-free descriptions: the point-by-point plots,
// the confidence histograms and the original data, for the chosen data sets.
#pragma once

#include "method/classes.h"
#include "figures/figure.h"

#include <cstddef>
#include <string>
#include <vector>

namespace orvane {

// Data sets are numbered from 1; the average set is N_DATA+1.
using SetNumbers = std::vector<std::size_t>;

// "Dataset" + k for each chosen set, then "Average " when `average` is set; all rows eight
// characters wide.
std::vector<std::string> legendRows(const SetNumbers& sets, bool average);

// The class names as histogram labels, padded with blanks to 14 characters.
std::vector<std::string> classNameLabels();

// The seven lines of the class legend window.
std::vector<std::string> classLegendLines();

// ADMi, FDMi or GDMi of the chosen sets against abscissa as dash-dot lines, with the title and
// labels of analysis kind T (2 phase, 1 magnitude, 0 browsed) and domain D.
Figure pointByPointFigure(const std::string& variable, const Vec& abscissa, const SetList& curves,
                          const SetNumbers& sets, const std::string& S_MARKER, int T, int D);

// ADMc, FDMc or GDMc of the chosen sets as filled circles over the six classes. The y range
// covers every chosen set (set 1's when none is chosen).
Figure histogramFigure(const std::string& variable, const HistogramList& histograms, const SetNumbers& sets,
                       const std::string& S_MARKER, int T);

// The resampled sets and their average (the last entry of resampled) against abscissa; with
// a chosen reference set (1-based) the last entry is that set, and its legend says so.
Figure originalDataFigure(const Vec& abscissa, const SetList& resampled, const SetNumbers& sets,
                          const std::string& S_MARKER, int D, std::size_t reference = 0);

}  // namespace orvane

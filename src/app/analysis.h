// The numeric sequence of one analysis: from the loaded data sets to every per-set result.
//
// Every list holds N_DATA+1 entries; the last belongs to the average set. The stages run
// in this order and are public so that the driver can show progress and write reports
// between them; computeAnalysis() runs them all.
#pragma once

#include "app/dialogs.h"
#include "charts/fsv_cc.h"
#include "measures/adm.h"
#include "measures/fdm.h"
#include "measures/gdm.h"
#include "prep/interpolation.h"

#include <array>
#include <functional>

namespace orvane {

using Triple = std::array<double, 3>;

struct AnalysisResult {
    std::size_t N_DATA = 0;
    Vec Mfreq;                 // common abscissa
    SetList Mdata;             // resampled sets and their average
    SpectrumList FFTnewdata;   // normalised spectra
    Vec TotalFFT, breakpoint;  // spectrum totals and breakpoint bins
    SetList LowData, HighData, DC_data;
    AdmResult adm;             // Alpha_ADM, ADMi, ADMc, ADMtot, ADM_oldi
    FdmResult fdm;             // FDMi, FDMc, FDMtot
    GdmResult gdm;             // GDMi, GDMc, GDMtot
    GradeSpread ADM, FDM, GDM; // grade and spread records per measure
    Vec Kadm, Kfdm;            // GDM weights
    std::vector<Triple> ParametersA, ParametersF, ParametersG;  // [total; mean class; class-scale total]
    std::vector<Triple> parameters_means, parameters_median;    // over the points of [ADM; FDM; GDM]
};

struct AnalysisSettings {
    std::string thrs = "85";                        // threshold in percent
    std::size_t maxGridPoints = kDefaultMaxGridPoints;
};

// The threshold fraction of a threshold text: "85" → 0.85.
double thresholdFraction(const std::string& thrs);

// GDM weights from the spreads: the weight named after the measure with the larger spread
// becomes smaller spread / larger spread; both are 1 without weighting or for equal spreads.
void gdmWeights(const GradeList& Spread_ADM, const GradeList& Spread_FDM, bool weighting, Vec& Kadm, Vec& Kfdm);

// Asks "Do you want GDM weighting?"; true for "YES".
bool askGdmWeighting(Dialogs& dialogs);

// Told (stage, fraction) as a stage gets on, for a progress display.
using ProgressNote = std::function<void(int, double)>;

// Stage 1: the average set, spectra, breakpoints and the low/high/DC parts.
void prepareSignals(AnalysisResult& r, Interpolated grid, const PlotContext& plots, const ProgressNote& note = {});
// Stage 2: ADM and FDM with their grades and spreads at thr.
void measureAdmFdm(AnalysisResult& r, double thr, const PlotContext& plots, const ProgressNote& note = {});
// Stage 3: GDM with the weights already in r.Kadm, r.Kfdm, and its grade and spread.
void measureGdm(AnalysisResult& r, double thr, const PlotContext& plots);
// Stage 4: the parameter columns and the point means and medians.
void summarise(AnalysisResult& r);

// Every stage, asking the weighting question in between. Nothing when the sets share no
// usable grid (the interpolation has then shown its question).
std::optional<AnalysisResult> computeAnalysis(const SetList& Md, const SetList& Mf, const AnalysisSettings& settings,
                                              Dialogs& dialogs, const PlotContext& plots);

}  // namespace orvane

#include "app/analysis.h"

#include "prep/decomposition.h"
#include "prep/fourier.h"
#include "runtime/parallel.h"
#include "runtime/stats.h"
#include "runtime/text.h"

namespace orvane {

double thresholdFraction(const std::string& thrs)
{
    return str2double(thrs) / 100;
}

void gdmWeights(const GradeList& Spread_ADM, const GradeList& Spread_FDM, bool weighting, Vec& Kadm, Vec& Kfdm)
{
    const std::size_t sets = Spread_ADM.size();
    Kadm.assign(sets, 1.0);
    Kfdm.assign(sets, 1.0);
    if (!weighting) return;
    for (std::size_t k = 0; k < sets; ++k) {
        const double sA = Spread_ADM[k].value, sF = Spread_FDM.at(k).value;
        if (sA < sF)
            Kfdm[k] = sA / sF;
        else if (sA > sF)
            Kadm[k] = sF / sA;
    }
}

bool askGdmWeighting(Dialogs& dialogs)
{
    return dialogs.question({"Do you want GDM weighting?", "Compute k_ADM & k_FDM", {"YES", "NO"}, "YES"}) == "YES";
}

void prepareSignals(AnalysisResult& r, Interpolated grid, const PlotContext& plots, const ProgressNote& note)
{
    r.N_DATA = grid.Mdata.size();
    r.Mfreq = std::move(grid.Mfreq);
    r.Mdata = std::move(grid.Mdata);
    r.Mdata.push_back(Av(r.Mdata, r.Mfreq.size(), r.N_DATA));
    if (note) note(1, 0.3);
    r.FFTnewdata = FT(r.Mdata, r.Mfreq);
    if (note) note(1, 0.6);
    CutOffResult cut = CutOff(r.FFTnewdata);
    r.TotalFFT = std::move(cut.TotalFFT);
    r.breakpoint = std::move(cut.breakpoint);
    Decomposition parts = LarrayH(r.FFTnewdata, r.breakpoint, r.Mfreq, plots);
    r.LowData = std::move(parts.Ldata);
    r.HighData = std::move(parts.Hdata);
    r.DC_data = std::move(parts.DC_data);
}

void measureAdmFdm(AnalysisResult& r, double thr, const PlotContext& plots, const ProgressNote& note)
{
    r.adm = ADM(r.LowData, r.Mfreq, r.DC_data, plots);
    if (note) note(3, 0.4);
    r.ADM = FSV_CC(thr, r.adm.ADMc);
    if (note) note(3, 0.7);
    r.fdm = FDM(r.LowData, r.HighData, r.Mfreq, plots);
    r.FDM = FSV_CC(thr, r.fdm.FDMc);
}

void measureGdm(AnalysisResult& r, double thr, const PlotContext& plots)
{
    const std::size_t LD_av = r.LowData.back().size();
    r.gdm = GDM(r.fdm.FDMi, r.adm.ADMi, LD_av, r.Mfreq, r.Kadm, r.Kfdm, plots);
    r.GDM = FSV_CC(thr, r.gdm.GDMc);
}

void summarise(AnalysisResult& r)
{
    const std::size_t sets = r.N_DATA + 1;
    auto parameters = [](double total, const Histogram& h) { return Triple{total, AverageConf(h), Conversion(total)}; };
    r.ParametersA.resize(sets);
    r.ParametersF.resize(sets);
    r.ParametersG.resize(sets);
    r.parameters_means.resize(sets);
    r.parameters_median.resize(sets);
    parallelFor(sets, r.Mfreq.size(), [&](std::size_t k) {
        r.ParametersA[k] = parameters(r.adm.ADMtot[k], r.adm.ADMc[k]);
        r.ParametersF[k] = parameters(r.fdm.FDMtot[k], r.fdm.FDMc[k]);
        r.ParametersG[k] = parameters(r.gdm.GDMtot[k], r.gdm.GDMc[k]);
        r.parameters_means[k] = {mean(r.adm.ADMi[k]), mean(r.fdm.FDMi[k]), mean(r.gdm.GDMi[k])};
        r.parameters_median[k] = {median(r.adm.ADMi[k]), median(r.fdm.FDMi[k]), median(r.gdm.GDMi[k])};
    });
}

std::optional<AnalysisResult> computeAnalysis(const SetList& Md, const SetList& Mf, const AnalysisSettings& settings,
                                              Dialogs& dialogs, const PlotContext& plots)
{
    Interpolated grid = Interpolation(Md, Mf, Md.size(), dialogs, settings.maxGridPoints);
    if (grid.empty()) return std::nullopt;
    const double thr = thresholdFraction(settings.thrs);
    AnalysisResult r;
    prepareSignals(r, std::move(grid), plots);
    measureAdmFdm(r, thr, plots);
    gdmWeights(r.ADM.Spread, r.FDM.Spread, askGdmWeighting(dialogs), r.Kadm, r.Kfdm);
    measureGdm(r, thr, plots);
    summarise(r);
    return r;
}

}  // namespace orvane

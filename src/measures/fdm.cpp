#include "measures/fdm.h"

#include "measures/measure_plots.h"
#include "runtime/stats.h"

#include <cmath>
#include <stdexcept>

namespace orvane {

Vec sampleDerivative(const Vec& x)
{
    const std::size_t M = x.size();
    if (M < 2) throw std::invalid_argument("sampleDerivative: at least two points needed");
    Vec d(M);
    d[0] = x[1] - x[0];
    for (std::size_t j = 1; j + 1 < M; ++j) d[j] = (x[j + 1] - x[j - 1]) / 2;
    d[M - 1] = x[M - 1] - x[M - 2];
    return d;
}

namespace {

// (|a| − |b|) / normaliser, or the plain difference when the normaliser is 0.
inline double term(double a, double b, double normaliser)
{
    const double d = std::fabs(a) - std::fabs(b);
    return normaliser == 0 ? d : d / normaliser;
}

}  // namespace

FdmResult FDM(const SetList& LowData, const SetList& HighData, const Vec& Mfreq, const PlotContext& plots,
              bool keepDerivatives)
{
    const std::size_t sets = LowData.size();
    if (sets == 0 || HighData.size() != sets) throw std::invalid_argument("FDM: one low and one high part per set expected");

    const Vec lowAv_dp = sampleDerivative(LowData.back());
    const Vec highAv_dp = sampleDerivative(HighData.back());
    const Vec highAv_ds = sampleDerivative(highAv_dp);
    const double Lo2 = sumAbs(lowAv_dp), Hi2 = sumAbs(highAv_dp), Hi22 = sumAbs(highAv_ds);
    const std::size_t L = LowData.front().size();
    const double LL = static_cast<double>(L);

    FdmResult r;
    r.FDMtot.resize(sets);
    r.FDMi.reserve(sets);
    r.FDMc.reserve(sets);
    for (std::size_t i = 0; i < sets; ++i) {
        if (LowData[i].size() != L || HighData[i].size() != L || lowAv_dp.size() != L)
            throw std::invalid_argument("FDM: parts differ in length");
        Vec low_dp = sampleDerivative(LowData[i]);
        Vec high_dp = sampleDerivative(HighData[i]);
        Vec high_ds = sampleDerivative(high_dp);

        const double afdm1 = 2 * (sumAbs(low_dp) + Lo2) / LL;
        const double afdm2 = (sumAbs(high_dp) + Hi2) * (6 / LL);
        const double afdm3 = (sumAbs(high_ds) + Hi22) * (7.2 / LL);
        Vec fdmi(L);
        for (std::size_t j = 0; j < L; ++j) {
            const double fd1 = term(low_dp[j], lowAv_dp[j], afdm1);
            const double fd2 = term(high_dp[j], highAv_dp[j], afdm2);
            const double fd3 = term(high_ds[j], highAv_ds[j], afdm3);
            fdmi[j] = 2 * std::fabs((fd1 + fd2) + fd3);
        }

        drawPointByPoint(plots, "FDMi_", i + 1, sets, Mfreq, fdmi);
        const Histogram h = classHistogram(fdmi, LL);
        r.FDMtot[i] = sum(fdmi) / static_cast<double>(LowData[i].size());
        drawHistogram(plots, "FDMc_", i + 1, h, {r.FDMtot[i], AverageConf(h), Conversion(r.FDMtot[i])});

        r.FDMc.push_back(h);
        r.FDMi.push_back(std::move(fdmi));
        if (keepDerivatives) {
            r.LowData_dp.push_back(std::move(low_dp));
            r.HighData_dp.push_back(std::move(high_dp));
            r.Highdata_ds.push_back(std::move(high_ds));
        }
    }
    return r;
}

}  // namespace orvane

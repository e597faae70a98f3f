#include "measures/gdm.h"

#include "measures/measure_plots.h"
#include "runtime/parallel.h"
#include "runtime/stats.h"

#include <cmath>
#include <stdexcept>

namespace orvane {

GdmResult GDM(const SetList& FDMi, const SetList& ADMi, std::size_t LD_av, const Vec& Mfreq, const Vec& Kadm,
              const Vec& Kfdm, const PlotContext& plots)
{
    const std::size_t sets = FDMi.size();
    if (ADMi.size() != sets || Kadm.size() != sets || Kfdm.size() != sets)
        throw std::invalid_argument("GDM: one ADM, FDM and pair of weights per set expected");
    const double N = static_cast<double>(LD_av);

    GdmResult r;
    r.GDMtot.resize(sets);
    r.GDMi.resize(sets);
    r.GDMc.resize(sets);
    for (std::size_t i = 0; i < sets; ++i)
        if (ADMi[i].size() != FDMi[i].size()) throw std::invalid_argument("GDM: ADM and FDM differ in length");
    parallelFor(sets, LD_av, [&](std::size_t i) {
        const Vec& f = FDMi[i];
        const Vec& a = ADMi[i];
        Vec g(f.size());
        for (std::size_t j = 0; j < f.size(); ++j) g[j] = std::sqrt(Kadm[i] * (f[j] * f[j]) + Kfdm[i] * (a[j] * a[j]));
        r.GDMc[i] = classHistogram(g, N);
        r.GDMtot[i] = sum(g) / N;
        r.GDMi[i] = std::move(g);
    });

    for (std::size_t i = 0; i < sets; ++i) {
        drawPointByPoint(plots, "GDMi_", i + 1, sets, Mfreq, r.GDMi[i]);
        drawHistogram(plots, "GDMc_", i + 1, r.GDMc[i],
                      {r.GDMtot[i], AverageConf(r.GDMc[i]), Conversion(r.GDMtot[i]), Kadm[i], Kfdm[i]});
    }
    return r;
}

}  // namespace orvane

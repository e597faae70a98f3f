#include "measures/gdm.h"

#include "measures/measure_plots.h"
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
    r.GDMi.reserve(sets);
    r.GDMc.reserve(sets);
    for (std::size_t i = 0; i < sets; ++i) {
        const Vec& f = FDMi[i];
        const Vec& a = ADMi[i];
        if (a.size() != f.size()) throw std::invalid_argument("GDM: ADM and FDM differ in length");
        Vec g(f.size());
        for (std::size_t j = 0; j < f.size(); ++j) g[j] = std::sqrt(Kadm[i] * (f[j] * f[j]) + Kfdm[i] * (a[j] * a[j]));

        drawPointByPoint(plots, "GDMi_", i + 1, sets, Mfreq, g);
        const Histogram h = classHistogram(g, N);
        r.GDMtot[i] = sum(g) / N;
        drawHistogram(plots, "GDMc_", i + 1, h,
                      {r.GDMtot[i], AverageConf(h), Conversion(r.GDMtot[i]), Kadm[i], Kfdm[i]});

        r.GDMc.push_back(h);
        r.GDMi.push_back(std::move(g));
    }
    return r;
}

}  // namespace orvane

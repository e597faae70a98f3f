#include "method/gdm.h"

#include "base/parallel.h"
#include "base/stats.h"

#include <cmath>
#include <stdexcept>

namespace orvane {

GdmResult GDM(const SetList& FDMi, const SetList& ADMi, std::size_t LD_av, const Vec& Kadm, const Vec& Kfdm)
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
        ClassCounter classes;
        double total = 0.0;  // in index order, as a sum over the finished column
        for (std::size_t j = 0; j < f.size(); ++j) {
            const double value = std::sqrt(Kadm[i] * (f[j] * f[j]) + Kfdm[i] * (a[j] * a[j]));
            g[j] = value;
            classes.add(value);
            total += value;
        }
        r.GDMc[i] = classes.histogram(N);
        r.GDMtot[i] = total / N;
        r.GDMi[i] = std::move(g);
    });

    return r;
}

}  // namespace orvane

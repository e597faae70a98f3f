#include "method/adm.h"

#include "base/parallel.h"
#include "base/stats.h"

#include <cmath>
#include <stdexcept>

namespace orvane {

AdmResult ADM(const SetList& LowData, const SetList& DC_data)
{
    const std::size_t sets = LowData.size();
    if (sets == 0 || DC_data.size() != sets) throw std::invalid_argument("ADM: one low and one DC part per set expected");
    const Vec& lowAv = LowData.back();
    const Vec& dcAv = DC_data.back();
    const std::size_t L = lowAv.size();
    const double length_Ldata = static_cast<double>(L);
    const double a_adm_av = sumAbs(lowAv);
    const double DC_av = sumAbs(dcAv);
    constexpr double cm = 1, cm1 = 1;

    AdmResult r;
    r.Alpha_ADM.resize(sets);
    r.ADMtot.resize(sets);
    r.ADMi.resize(sets);
    r.ADM_oldi.resize(sets);
    r.ADMc.resize(sets);
    for (std::size_t i = 0; i < sets; ++i)
        if (LowData[i].size() != L || DC_data[i].size() != L) throw std::invalid_argument("ADM: parts differ in length");
    parallelFor(sets, L, [&](std::size_t i) {
        const Vec& low = LowData[i];
        const Vec& dc = DC_data[i];
        const double alpha1 = (sumAbs(low) + a_adm_av) * (1 / length_Ldata);
        const double alpha2 = (sumAbs(dc) + DC_av) * (1 / length_Ldata);
        Vec offset(L), admi(L);
        // The classes and the total are taken as the values are made; the total adds them
        // in index order, as a sum over the finished column would.
        ClassCounter classes;
        double total = 0.0;
        for (std::size_t j = 0; j < L; ++j) {
            const double d = std::fabs(low[j]) - std::fabs(lowAv[j]);
            offset[j] = alpha1 == 0 ? std::fabs(d) : std::fabs(d / alpha1);
            const double e = std::fabs(dc[j]) - std::fabs(dcAv[j]);
            const double odm = alpha2 == 0 ? std::fabs(e) : std::fabs(e / alpha2);
            const double value = offset[j] + (cm * odm) * std::exp(cm1 * odm);
            admi[j] = value;
            classes.add(value);
            total += value;
        }
        r.Alpha_ADM[i] = alpha1;
        r.ADMc[i] = classes.histogram(length_Ldata);
        r.ADMtot[i] = total / length_Ldata;
        r.ADMi[i] = std::move(admi);
        r.ADM_oldi[i] = std::move(offset);
    });

    return r;
}

}  // namespace orvane

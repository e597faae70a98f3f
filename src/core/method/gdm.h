// Global Difference Measure: the weighted root of the squared ADM and FDM.
#pragma once

#include "method/classes.h"

namespace orvane {

struct GdmResult {
    SetList GDMi;        // point-by-point GDM per set
    HistogramList GDMc;  // class histogram per set (normalised by LD_av)
    Vec GDMtot;          // Σ GDMi / LD_av per set
};

// GDMi = √(Kadm·FDMi² + Kfdm·ADMi²): the weight named after the ADM multiplies the squared
// FDM and the other way round, as the analysis has always weighted them.
GdmResult GDM(const SetList& FDMi, const SetList& ADMi, std::size_t LD_av, const Vec& Kadm, const Vec& Kfdm);

}  // namespace orvane

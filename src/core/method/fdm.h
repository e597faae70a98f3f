// Feature Difference Measure of every set against the average set (the last one).
#pragma once

#include "method/classes.h"

namespace orvane {

// Per-sample derivative: forward difference at the first point, central differences
// inside, backward difference at the last. At least two points.
Vec sampleDerivative(const Vec& x);

struct FdmResult {
    // The derivatives of each set, kept only when asked for (the analysis does not use them).
    SetList LowData_dp, HighData_dp, Highdata_ds;
    SetList FDMi;        // point-by-point FDM per set
    HistogramList FDMc;  // class histogram per set
    Vec FDMtot;          // mean FDM per set
};

FdmResult FDM(const SetList& LowData, const SetList& HighData, bool keepDerivatives = false);

}  // namespace orvane

// Amplitude Difference Measure of every set against the average set (the last one).
#pragma once

#include "method/classes.h"

namespace orvane {

struct AdmResult {
    Vec Alpha_ADM;          // normaliser of the offset term per set
    SetList ADMi;           // point-by-point ADM per set
    HistogramList ADMc;     // class histogram per set
    Vec ADMtot;             // mean ADM per set
    SetList ADM_oldi;       // offset term per set
};

AdmResult ADM(const SetList& LowData, const SetList& DC_data);

}  // namespace orvane

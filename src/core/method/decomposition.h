// Low (trend), high (features) and DC parts of every set, rebuilt from its spectrum.
#pragma once

#include "base/types.h"

namespace orvane {

struct Decomposition {
    SetList lowParts;    // low-frequency part per set
    SetList highParts;    // high-frequency part per set
    SetList DC_data;  // DC part (bins 1 … 4, on a scale 1/√L of the data) per set
};

// Splits each spectrum at its breakpoint with a five-bin cross-fade; the high part also
// fades out over the last five bins of the lower half.
// A grid too short for the split (the
// breakpoint's fade would run past the spectrum) fails with an Error.
Decomposition splitLowHighDc(const SpectrumList& spectra, const Vec& breakpoint);

}  // namespace orvane

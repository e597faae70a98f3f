// Normalised spectra and the breakpoint between trend and features.
#pragma once

#include "base/types.h"

namespace orvane {

// Spectrum of every set: DFT / √L, with every bin whose magnitude relative to the DC bin
// is below 1e-14 set to exactly 0 (bin 1 itself is kept). All L bins per set.
SpectrumList normalisedSpectra(const SetList& resampled, const Vec& abscissa);

// True when |bin / dc| < 1e-14, the test by which FT clears a bin. Never true for dc = 0.
bool isNegligibleBin(Complex bin, Complex dc);

struct Breakpoints {
    Vec spectrumTotals;    // per set: Σ|X(j)| over bins 5 … v3
    Vec fortyPercentTotals;   // per set: 0.4 × spectrumTotals
    Vec breakpoint;  // per set: breakpoint bin (1-based), never above the average set's
};

// Breakpoint per set: six bins above the bin at which the running magnitude sum from bin 5
// first reaches 40 % of its total, capped by the average set (the last entry).
Breakpoints findBreakpoints(const SpectrumList& spectra);

}  // namespace orvane

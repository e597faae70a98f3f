// Discrete Fourier transforms of real data through FFTW, for any length L.
//
// Only the non-redundant half of a real signal's spectrum is computed: bins 1 … ⌊L/2⌋+1
// (stored 0-based). The other bins are the complex conjugates of these,
// X(L+2-k) = conj X(k), and fullSpectrum() fills them in when a caller needs all L bins.
#pragma once

#include "base/types.h"

#include <cstddef>

namespace orvane {

// Arrays aligned like Vec and CVec run the transform in place; others are copied through
// aligned scratch first.

// Number of bins in the half spectrum of a real signal of length L.
constexpr std::size_t halfSpectrumSize(std::size_t L) { return L / 2 + 1; }

// One transform length. Plans are made once per length (ESTIMATE, which plans in
// microseconds) and shared; running them is safe from any thread.
class RealDft {
public:
    explicit RealDft(std::size_t length);
    std::size_t length() const { return length_; }

    // Unnormalised forward DFT: half[k] = Σ_n x[n]·e^(−2πi·k·n/L), k = 0 … ⌊L/2⌋.
    void forward(const double* x, Complex* half) const;

    // Unnormalised inverse of a Hermitian spectrum given by its half:
    // x[n] = Σ_{k=0..L-1} Z[k]·e^(+2πi·k·n/L) with Z completed by conjugate symmetry.
    // The imaginary parts of bin 0 and (for even L) bin L/2 are ignored, which equals
    // taking the real part of the full inverse transform. `half` is used as scratch.
    void inverse(Complex* half, double* x) const;

private:
    std::size_t length_;
    void* forwardPlan_;
    void* inversePlan_;
};

// The full L-bin spectrum from its half (conjugate-symmetric completion).
CVec fullSpectrum(const CVec& half, std::size_t L);

}  // namespace orvane

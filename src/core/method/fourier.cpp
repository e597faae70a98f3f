#include "method/fourier.h"

#include "base/dft.h"
#include "base/parallel.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace orvane {

namespace {

// |q| of the quotient bin / denom, formed as a complex division would form it.
double quotientMagnitude(Complex bin, Complex denom)
{
    if (denom.imag() == 0.0) return std::hypot(bin.real() / denom.real(), bin.imag() / denom.real());
    return std::abs(bin / denom);
}

}  // namespace

// A part at or above the limit decides without the (slower) magnitude, since the
// magnitude is never below either part.
bool isNegligibleBin(Complex bin, Complex denom)
{
    constexpr double limit = 1e-14;
    if (denom.imag() == 0.0) {
        const double re = std::fabs(bin.real() / denom.real()), im = std::fabs(bin.imag() / denom.real());
        if (re >= limit || im >= limit || re != re || im != im) return false;
    }
    return quotientMagnitude(bin, denom) < limit;
}

SpectrumList normalisedSpectra(const SetList& resampled, const Vec& /*abscissa*/)
{
    if (resampled.empty()) return {};
    const std::size_t L = resampled.front().size();
    for (const Vec& set : resampled)
        if (set.size() != L) throw std::invalid_argument("FT: sets differ in length");
    const RealDft dft(L);
    const std::size_t H = halfSpectrumSize(L);
    const double root = std::sqrt(static_cast<double>(L));

    SpectrumList spectra(resampled.size());
    parallelFor(resampled.size(), L, [&](std::size_t i) {
        CVec X(L);
        // The transform fills the first half of the spectrum in place.
        dft.forward(resampled[i].data(), X.data());
        // One pass over the half: scale each bin, clear it when negligible beside bin 0, and
        // write its mirror (the conjugate) into the second half.
        const auto scaled = [root](Complex bin) { return Complex(bin.real() / root, bin.imag() / root); };
        const Complex denom = X[0] = scaled(X[0]);
        for (std::size_t k = 1; k < H; ++k) {
            Complex bin = scaled(X[k]);
            if (isNegligibleBin(bin, denom)) bin = 0.0;
            X[k] = bin;
            if (L - k >= H) X[L - k] = std::conj(bin);
        }
        spectra[i] = std::move(X);
    });
    return spectra;
}

namespace {

struct SearchResult {
    double total;
    double forty;
    std::size_t k;  // one past the bin where the running sum first reached 40 %
};

// v3 is the last bin (1-based) of the lower half.
SearchResult searchForty(const CVec& X, std::size_t v3)
{
    constexpr std::size_t k = 5;
    const std::size_t last = std::min(v3, X.size());
    // Each magnitude once; the running sum below adds the same values in the same order.
    Vec magnitude(last >= k ? last - k + 1 : 0);
    double total = 0.0;
    for (std::size_t j = k; j <= last; ++j) total += (magnitude[j - k] = std::abs(X[j - 1]));
    const double forty = 0.4 * total;
    double ct = 0.0;
    std::size_t kk = k;
    // The running sum repeats the additions of the total, so it reaches 40 % by bin v3;
    // the bound only keeps a non-finite total from walking off the spectrum.
    while (ct < forty && kk <= last) {
        ct += magnitude[kk - k];
        ++kk;
    }
    return {total, forty, kk};
}

}  // namespace

Breakpoints findBreakpoints(const SpectrumList& spectra)
{
    if (spectra.empty()) return {};
    const std::size_t sets = spectra.size();
    const CVec& A = spectra.back();
    const std::size_t L = A.size();
    const std::size_t v3 = L % 2 == 0 ? L / 2 : (L + 1) / 2;

    std::vector<SearchResult> searched(sets);
    parallelFor(sets, L / 2, [&](std::size_t i) { searched[i] = searchForty(spectra[i], v3); });
    const SearchResult& av = searched.back();
    Breakpoints out;
    out.spectrumTotals.resize(sets);
    out.fortyPercentTotals.resize(sets);
    std::vector<std::size_t> kp(sets);
    for (std::size_t i = 0; i < sets; ++i) {
        out.spectrumTotals[i] = searched[i].total;
        out.fortyPercentTotals[i] = searched[i].forty;
        kp[i] = searched[i].k;
    }

    out.breakpoint.resize(sets);
    for (std::size_t i = 0; i < sets; ++i) out.breakpoint[i] = static_cast<double>(std::min(kp[i], av.k) + 5);
    return out;
}

}  // namespace orvane

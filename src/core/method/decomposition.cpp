#include "method/decomposition.h"

#include "base/dft.h"
#include "base/error.h"
#include "base/parallel.h"
#include "base/stats.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace orvane {

namespace {

// cos and sin of 2π·m/L for m = 0 … L-1, shared by every set's DC part.
struct Twiddles {
    Vec c, s;
    explicit Twiddles(std::size_t L) : c(L), s(L)
    {
        // The second half mirrors the first: cos(2π(L−m)/L) = cos(2πm/L), sin flips sign.
        // Computed in blocks over the cores: at 2^20 points the sines and cosines alone
        // take milliseconds.
        constexpr std::size_t kBlock = std::size_t{1} << 14;
        const std::size_t half = L / 2 + 1;
        parallelFor((half + kBlock - 1) / kBlock, kBlock, [&](std::size_t b) {
            for (std::size_t m = b * kBlock; m < std::min(half, (b + 1) * kBlock); ++m) {
                const double angle = 2.0 * std::numbers::pi * static_cast<double>(m) / static_cast<double>(L);
                c[m] = std::cos(angle);
                s[m] = std::sin(angle);
                if (m > 0 && m < L - m) {
                    c[L - m] = c[m];
                    s[L - m] = -s[m];
                }
            }
        });
    }
};

// Real part of the inverse DFT of a spectrum that is zero outside bins 1 … 4: four terms
// per point instead of a transform.
Vec dcPart(const CVec& S, const Twiddles& tw)
{
    const std::size_t L = S.size();
    Vec out(L);
    // m_k = k·n mod L, stepped instead of divided.
    std::size_t m1 = 0, m2 = 0, m3 = 0;
    const double s0 = S[0].real(), inv = static_cast<double>(L);
    for (std::size_t n = 0; n < L; ++n) {
        double acc = s0;
        acc += S[1].real() * tw.c[m1] - S[1].imag() * tw.s[m1];
        acc += S[2].real() * tw.c[m2] - S[2].imag() * tw.s[m2];
        acc += S[3].real() * tw.c[m3] - S[3].imag() * tw.s[m3];
        out[n] = acc / inv;
        m1 += 1;
        if (m1 >= L) m1 -= L;
        m2 += 2;
        if (m2 >= L) m2 -= L;
        m3 += 3;
        if (m3 >= L) m3 -= L;
    }
    return out;
}

void checkSplit(std::size_t set, std::size_t L, std::size_t n, double bpValue)
{
    if (!(bpValue >= 3) || bpValue != std::floor(bpValue))
        throw std::invalid_argument("LarrayH: breakpoint of set " + std::to_string(set) + " out of range");
    const auto bp = static_cast<std::size_t>(bpValue);
    if (bp + 2 > L || n < 5)
        throw Error("The common grid has " + std::to_string(L) + " points, too few to split data set " +
                    std::to_string(set) + " into trend and features at bin " + std::to_string(bp) + " (at least " +
                    std::to_string(std::max<std::size_t>(bp + 2, 9)) + " points are needed).");
}

}  // namespace

Decomposition splitLowHighDc(const SpectrumList& spectra, const Vec& breakpoint)
{
    Decomposition out;
    if (spectra.empty()) return out;
    const std::size_t sets = spectra.size();
    if (breakpoint.size() != sets) throw std::invalid_argument("LarrayH: one breakpoint per set expected");
    const std::size_t L = spectra.back().size();
    const std::size_t n = (L + 1) / 2;  // ceil(L/2)
    const std::size_t H = halfSpectrumSize(L);
    const std::size_t top = L / 2;      // the high part runs up to bin ⌊L/2⌋
    for (std::size_t i = 0; i < sets; ++i) checkSplit(i + 1, L, n, breakpoint[i]);

    const RealDft dft(L);
    const Twiddles tw(L);
    const double gain = std::sqrt(static_cast<double>(L));
    for (const CVec& S : spectra)
        if (S.size() != L) throw std::invalid_argument("LarrayH: spectra differ in length");

    // Bins above H are never read: the Hermitian completion takes only bins 1 … ⌊L/2⌋+1.
    auto bin = [&](CVec& Y, std::size_t k) -> Complex* { return k <= H ? &Y[k - 1] : nullptr; };
    auto rebuild = [&](CVec& Y) {
        Vec x(L);
        dft.inverse(Y.data(), x.data());
        for (double& v : x) v = v / static_cast<double>(L) * gain;
        return x;
    };

    out.lowParts.resize(sets);
    out.highParts.resize(sets);
    out.DC_data.resize(sets);
    // Three pieces of work per set (low part, high part, DC part), so that the cores stay
    // busy to the end when the sets do not divide evenly among them.
    parallelFor(3 * sets, L, [&](std::size_t task) {
        const std::size_t i = task / 3;
        const CVec& S = spectra[i];
        const auto bp = static_cast<std::size_t>(breakpoint[i]);
        switch (task % 3) {
        case 0: {
            CVec low(H);
            for (std::size_t k = 5; k <= bp + 2; ++k)
                if (Complex* b = bin(low, k)) *b = S[k - 1];
            for (std::size_t k = bp - 2; k <= bp + 2; ++k)
                if (Complex* b = bin(low, k)) *b *= 1.0 - static_cast<double>(k + 2 - bp) / 5.0;
            out.lowParts[i] = rebuild(low);
            break;
        }
        case 1: {
            CVec high(H);
            for (std::size_t k = bp - 2; k <= top; ++k) high[k - 1] = S[k - 1];
            for (std::size_t k = bp - 2; k <= bp + 2; ++k)
                if (Complex* b = bin(high, k)) *b *= static_cast<double>(k + 2 - bp) / 5.0;
            for (std::size_t k = n - 4; k <= n; ++k)
                if (Complex* b = bin(high, k)) *b *= static_cast<double>(n + 1 - k) / 5.0;
            out.highParts[i] = rebuild(high);
            break;
        }
        default:
            out.DC_data[i] = dcPart(S, tw);
        }
    });

    return out;
}

}  // namespace orvane

#include "method/decomposition.h"
#include "core/method/reference.h"
#include "method/fourier.h"
#include "base/error.h"
#include "support/recording.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

// The decomposition of one spectrum written step by step over all L bins: fill, fade,
// Hermitian completion, inverse transform of length L, real part.
struct ReferenceParts {
    CVec lowHalf, highHalf;  // FFT_Ldata and FFT_Hdata (all L bins, 1-based index k-1)
    Vec low, high, dc;
    double maxImag = 0;       // largest imaginary part left by the rebuild
};

ReferenceParts referenceSplit(const CVec& S, std::size_t bp)
{
    const std::size_t L = S.size();
    const std::size_t n = (L + 1) / 2;
    ReferenceParts r;
    r.lowHalf.assign(L, 0);
    r.highHalf.assign(L, 0);
    for (std::size_t k = 5; k <= bp + 2; ++k) r.lowHalf[k - 1] = S[k - 1];
    for (std::size_t k = bp - 2; k <= bp + 2; ++k) r.lowHalf[k - 1] *= 1 - (double(k) - double(bp) + 2) / 5;
    for (std::size_t k = bp - 2; k <= L / 2; ++k) r.highHalf[k - 1] = S[k - 1];
    for (std::size_t k = bp - 2; k <= bp + 2; ++k) r.highHalf[k - 1] *= (double(k) - double(bp) + 2) / 5;
    for (std::size_t k = n - 4; k <= n; ++k) r.highHalf[k - 1] *= (double(n) - double(k) + 1) / 5;

    auto complete = [&](const CVec& Y) {
        CVec Z(L);
        const std::size_t keep = L % 2 ? n : n + 1;
        for (std::size_t k = 1; k <= keep; ++k) Z[k - 1] = Y[k - 1];
        for (std::size_t k = keep + 1; k <= L; ++k) Z[k - 1] = std::conj(Y[L - k + 1]);  // Z(L) = conj Y(2)
        return Z;
    };
    auto rebuild = [&](const CVec& Y, double gain) {
        const CVec x = test::idft(Y);
        Vec out(L);
        for (std::size_t j = 0; j < L; ++j) {
            out[j] = x[j].real() * gain;
            r.maxImag = std::max(r.maxImag, std::fabs(x[j].imag() * gain));
        }
        return out;
    };
    const double root = std::sqrt(static_cast<double>(L));
    r.low = rebuild(complete(r.lowHalf), root);
    r.high = rebuild(complete(r.highHalf), root);
    CVec dcSpec(L);
    for (std::size_t k = 0; k < 4; ++k) dcSpec[k] = S[k];
    const double before = r.maxImag;
    r.dc = rebuild(dcSpec, 1);
    r.maxImag = before;  // the DC part is not completed, so its imaginary part is real data
    return r;
}

SpectrumList randomSpectra(std::size_t L, std::size_t sets, unsigned seed)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> d(0, 1);
    SetList data(sets, Vec(L));
    for (Vec& s : data)
        for (double& v : s) v = 2 + d(gen);
    return normalisedSpectra(data, {});
}

void expectNear(const Vec& a, const Vec& b, double tol)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t j = 0; j < a.size(); ++j) EXPECT_NEAR(a[j], b[j], tol) << "at " << j;
}

TEST(splitLowHighDc, MatchesTheStepByStepSplitForEvenAndOddLengths)
{
    for (std::size_t L : {64u, 63u, 101u}) {
        const SpectrumList S = randomSpectra(L, 3, static_cast<unsigned>(L));
        const Vec bp{12, 15, 13};
        const Decomposition parts = splitLowHighDc(S, bp);
        for (std::size_t i = 0; i < 3; ++i) {
            const ReferenceParts ref = referenceSplit(S[i], static_cast<std::size_t>(bp[i]));
            expectNear(parts.lowParts[i], ref.low, 1e-12);
            expectNear(parts.highParts[i], ref.high, 1e-12);
            expectNear(parts.DC_data[i], ref.dc, 1e-12);
            EXPECT_LT(ref.maxImag, 1e-12) << "the completed spectra must rebuild real signals";
        }
    }
}

TEST(splitLowHighDc, CrossFadeWeightsAtEvenLength)
{
    // All bins 1: the spectra of the low and high parts show the weights themselves.
    const std::size_t L = 64;
    const CVec S(L, Complex(1, 0));
    const Decomposition parts = splitLowHighDc({S}, {12});
    const CVec low = test::dft(test::toComplex(parts.lowParts[0]));
    const CVec high = test::dft(test::toComplex(parts.highParts[0]));
    const double root = 8;
    auto weight = [&](const CVec& X, std::size_t k) { return X[k - 1].real() / root; };
    const double lowWeights[] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0.8, 0.6, 0.4, 0.2, 0};
    for (std::size_t k = 1; k <= 15; ++k) EXPECT_NEAR(weight(low, k), lowWeights[k - 1], 1e-12) << k;
    for (std::size_t k = 16; k <= 33; ++k) EXPECT_NEAR(weight(low, k), 0, 1e-12) << k;
    for (std::size_t k = 1; k <= 9; ++k) EXPECT_NEAR(weight(high, k), 0, 1e-12) << k;
    const double fadeIn[] = {0, 0.2, 0.4, 0.6, 0.8};
    for (std::size_t k = 10; k <= 14; ++k) EXPECT_NEAR(weight(high, k), fadeIn[k - 10], 1e-12) << k;
    for (std::size_t k = 15; k <= 27; ++k) EXPECT_NEAR(weight(high, k), 1, 1e-12) << k;
    const double fadeOut[] = {1, 0.8, 0.6, 0.4, 0.2};
    for (std::size_t k = 28; k <= 32; ++k) EXPECT_NEAR(weight(high, k), fadeOut[k - 28], 1e-12) << k;
    EXPECT_NEAR(std::abs(high[32]), 0, 1e-12);  // Nyquist bin 33
    EXPECT_NEAR(std::abs(low[32]), 0, 1e-12);
}

TEST(splitLowHighDc, OddLengthDropsBinNOfTheHighPart)
{
    const std::size_t L = 63;  // n = 32, high part up to bin 31
    const CVec S(L, Complex(1, 0.5));
    const Decomposition parts = splitLowHighDc({S}, {12});
    const CVec high = test::dft(test::toComplex(parts.highParts[0]));
    EXPECT_NEAR(std::abs(high[30]) / std::sqrt(63.0), 0.4 * std::abs(S[0]), 1e-12);  // bin 31: top fade 0.4
    EXPECT_NEAR(std::abs(high[31]), 0, 1e-12);                                         // bin 32
    for (std::size_t k = 33; k <= 63; ++k) EXPECT_NEAR(std::abs(high[k - 1] - std::conj(high[63 - k + 1])), 0, 1e-12);
}

TEST(splitLowHighDc, LowAndHighAddBackToTheSpectrumBelowTheTopFade)
{
    for (std::size_t L : {200u, 201u}) {
        const SpectrumList S = randomSpectra(L, 2, 11);
        const Decomposition parts = splitLowHighDc(S, {20, 20});
        const std::size_t n = (L + 1) / 2;
        Vec sum(L);
        for (std::size_t j = 0; j < L; ++j) sum[j] = parts.lowParts[0][j] + parts.highParts[0][j];
        const CVec X = test::dft(test::toComplex(sum));
        for (std::size_t k = 5; k < n - 4; ++k)
            EXPECT_NEAR(std::abs(X[k - 1] / std::sqrt(double(L)) - S[0][k - 1]), 0, 1e-10) << "L=" << L << " k=" << k;
    }
}

TEST(splitLowHighDc, ASpectrumOnlyInTheDcBinsGivesZeroParts)
{
    CVec S(64);
    S[0] = 5;
    S[1] = Complex(1, 2);
    S[2] = Complex(-1, 0.5);
    S[3] = 0.25;
    const Decomposition parts = splitLowHighDc({S}, {12});
    for (double v : parts.lowParts[0]) EXPECT_EQ(v, 0);
    for (double v : parts.highParts[0]) EXPECT_EQ(v, 0);
    EXPECT_NE(parts.DC_data[0][0], 0);
}

TEST(splitLowHighDc, RefusesGridsTooShortForTheSplit)
{
    const SpectrumList S = normalisedSpectra({Vec(8, 1.0), Vec(8, 2.0)}, {});
    const Breakpoints cut = findBreakpoints(S);  // breakpoint 10 for L = 8
    EXPECT_THROW(splitLowHighDc(S, cut.breakpoint), Error);
    // The smallest grid that always fits: 16 points, even with the highest breakpoint.
    CVec top(16);
    top[0] = 1;
    top[7] = 1;  // all the mass at v3 = 8: search ends at 9, breakpoint 14
    const Breakpoints high = findBreakpoints({top, top});
    EXPECT_EQ(high.breakpoint[0], 14);
    EXPECT_NO_THROW(splitLowHighDc({top, top}, high.breakpoint));
}

}  // namespace
}  // namespace orvane

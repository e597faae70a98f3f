#include "method/fourier.h"
#include "core/method/reference.h"

#include <gtest/gtest.h>

#include <random>

namespace orvane {
namespace {

TEST(FT, IsTheUnitaryDftOfEverySet)
{
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> d(-1, 5);
    for (std::size_t L : {31u, 64u}) {
        SetList sets(3, Vec(L));
        for (Vec& s : sets)
            for (double& v : s) v = d(gen);
        const SpectrumList spectra = normalisedSpectra(sets, {});
        ASSERT_EQ(spectra.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            const CVec ref = test::dft(test::toComplex(sets[i]));
            ASSERT_EQ(spectra[i].size(), L);
            for (std::size_t k = 0; k < L; ++k)
                EXPECT_NEAR(std::abs(spectra[i][k] - ref[k] / std::sqrt(static_cast<double>(L))), 0, 1e-12);
        }
    }
}

TEST(FT, AConstantSetKeepsOnlyItsDcBin)
{
    const SpectrumList spectra = normalisedSpectra({Vec(64, 3.7), Vec(64, 3.7)}, {});
    EXPECT_NEAR(spectra[0][0].real(), 3.7 * 8, 1e-12);
    for (std::size_t k = 1; k < 64; ++k) EXPECT_EQ(spectra[0][k], Complex(0, 0)) << k;
    const Breakpoints cut = findBreakpoints(spectra);
    EXPECT_EQ(cut.spectrumTotals[0], 0);
    EXPECT_EQ(cut.breakpoint[0], 10);  // search ends at 5, plus 5
}

TEST(FT, ClearsBinsStrictlyBelowTheRelativeLimit)
{
    // DC bin of x is 1; bin 2 gets a chosen relative magnitude through a cosine.
    const std::size_t L = 16;
    const double root = 4.0;  // √16
    auto spectrumWithRelative = [&](double rel) {
        Vec x(L);
        for (std::size_t n = 0; n < L; ++n)
            x[n] = root / L + rel * root * 2 / L * std::cos(2 * std::numbers::pi * static_cast<double>(n) / L);
        return normalisedSpectra({x}, {})[0];
    };
    const CVec large = spectrumWithRelative(1e-3);
    EXPECT_NE(large[1], Complex(0, 0));
    const CVec tiny = spectrumWithRelative(1e-16);
    EXPECT_EQ(tiny[1], Complex(0, 0));
    EXPECT_EQ(tiny[L - 1], Complex(0, 0));  // the mirrored bin too
    EXPECT_NE(tiny[0], Complex(0, 0));      // bin 1 is never cleared
}

TEST(FT, RelativeLimitIsStrictAndAZeroDcClearsNothing)
{
    const double bin = 2e-14;  // over a DC bin of 2 the quotient is exactly 1e-14
    EXPECT_FALSE(isNegligibleBin(Complex(bin, 0), Complex(2, 0)));
    EXPECT_TRUE(isNegligibleBin(Complex(std::nextafter(bin, 0.0), 0), Complex(2, 0)));
    EXPECT_TRUE(isNegligibleBin(Complex(0, -1e-15), Complex(-2, 0)));
    EXPECT_FALSE(isNegligibleBin(Complex(1e-30, 0), Complex(0, 0)));
    EXPECT_FALSE(isNegligibleBin(Complex(0, 0), Complex(0, 0)));
}

SpectrumList singleBinSpectra(std::size_t L, std::initializer_list<std::size_t> bins)
{
    SpectrumList s;
    for (std::size_t b : bins) {
        CVec x(L);
        x[0] = 1;
        x[b - 1] = 1;  // all the mass of bins 5 … v3 in bin b
        s.push_back(x);
    }
    return s;
}

TEST(CutOff, SearchEndsOnePastTheFortyPercentBinAndIsCappedByTheAverage)
{
    // Set 1's search ends at 12, set 2's at 7, the average's at 9.
    const Breakpoints cut = findBreakpoints(singleBinSpectra(64, {11, 6, 8}));
    EXPECT_EQ(cut.breakpoint, (Vec{14, 12, 14}));
    EXPECT_EQ(cut.spectrumTotals, (Vec{1, 1, 1}));
    EXPECT_EQ(cut.fortyPercentTotals, (Vec{0.4, 0.4, 0.4}));
}

TEST(CutOff, RunningSumSpreadOverBins)
{
    // Magnitudes 1 on bins 5 … 14 of L = 40 (v3 = 20): 40 % of 10 is reached at bin 8.
    CVec x(40);
    for (std::size_t k = 5; k <= 14; ++k) x[k - 1] = Complex(0.6, 0.8);
    const Breakpoints cut = findBreakpoints({x, x});
    EXPECT_NEAR(cut.spectrumTotals[0], 10, 1e-12);
    EXPECT_EQ(cut.breakpoint[0], 9 + 5);
}

TEST(CutOff, ShortSpectraHaveNoTotalAndBreakAtTen)
{
    SpectrumList s(3, CVec(8, Complex(1, 1)));
    const Breakpoints cut = findBreakpoints(s);
    EXPECT_EQ(cut.spectrumTotals, (Vec{0, 0, 0}));
    EXPECT_EQ(cut.breakpoint, (Vec{10, 10, 10}));
}

}  // namespace
}  // namespace orvane

#include "base/dft.h"
#include "base/interp.h"
#include "base/stats.h"
#include "base/text.h"
#include "base/types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <numbers>
#include <random>

namespace orvane {
namespace {

// The defining sum, O(L²): the reference for the fast transforms.
CVec naiveDft(const Vec& x)
{
    const std::size_t L = x.size();
    CVec X(L);
    for (std::size_t k = 0; k < L; ++k) {
        Complex acc = 0;
        for (std::size_t n = 0; n < L; ++n) {
            const double a = -2 * std::numbers::pi * static_cast<double>((k * n) % L) / static_cast<double>(L);
            acc += x[n] * Complex(std::cos(a), std::sin(a));
        }
        X[k] = acc;
    }
    return X;
}

Vec randomSignal(std::size_t L, unsigned seed)
{
    std::mt19937 gen(seed);
    std::normal_distribution<double> d(1.0, 2.0);
    Vec x(L);
    for (double& v : x) v = d(gen);
    return x;
}

TEST(RealDft, MatchesTheDefiningSumForEvenOddAndPrimeLengths)
{
    for (std::size_t L : {1u, 2u, 3u, 8u, 9u, 63u, 64u, 101u, 1009u}) {
        const Vec x = randomSignal(L, static_cast<unsigned>(L));
        const RealDft dft(L);
        CVec half(halfSpectrumSize(L));
        dft.forward(x.data(), half.data());
        const CVec full = fullSpectrum(half, L);
        const CVec ref = naiveDft(x);
        for (std::size_t k = 0; k < L; ++k) EXPECT_NEAR(std::abs(full[k] - ref[k]), 0.0, 1e-9 * L) << "L=" << L << " k=" << k;
    }
}

TEST(RealDft, InverseOfForwardGivesBackTheSignalTimesL)
{
    for (std::size_t L : {16u, 17u, 10007u}) {
        const Vec x = randomSignal(L, 7);
        const RealDft dft(L);
        CVec half(halfSpectrumSize(L));
        dft.forward(x.data(), half.data());
        Vec back(L);
        dft.inverse(half.data(), back.data());
        for (std::size_t n = 0; n < L; ++n) EXPECT_NEAR(back[n] / static_cast<double>(L), x[n], 1e-10);
    }
}

TEST(Interp1Linear, InterpolatesAndHandlesPointsOutsideTheRange)
{
    const Vec x{0, 1, 3}, y{0, 10, 30};
    const Vec q{-1, 0, 0.5, 1, 2, 3, 3.5};
    const Vec nanOutside = interp1Linear(x, y, q);
    EXPECT_TRUE(std::isnan(nanOutside[0]));
    EXPECT_EQ(nanOutside[1], 0);
    EXPECT_EQ(nanOutside[2], 5);
    EXPECT_EQ(nanOutside[3], 10);
    EXPECT_EQ(nanOutside[4], 20);
    EXPECT_EQ(nanOutside[5], 30);
    EXPECT_TRUE(std::isnan(nanOutside[6]));

    const Vec clamped = interp1Linear(x, y, q, OutsideRange::EndValue);
    EXPECT_EQ(clamped[0], 0);
    EXPECT_EQ(clamped[6], 30);

    // Queries out of order take the search path and give the same values.
    const Vec shuffled = interp1Linear(x, y, {2, 0.5, 3, 0});
    EXPECT_EQ(shuffled, (Vec{20, 5, 30, 0}));
}

TEST(Stats, MedianMeanAndRounding)
{
    EXPECT_EQ(median(Vec{3, 1, 2}), 2);
    EXPECT_EQ(median(Vec{4, 1, 3, 2}), 2.5);
    EXPECT_TRUE(std::isnan(median(Vec{})));
    EXPECT_EQ(mean({1, 2, 3, 4}), 2.5);
    EXPECT_EQ(roundHalfAway(2.5), 3);
    EXPECT_EQ(roundHalfAway(-2.5), -3);
    EXPECT_EQ(roundHalfAway(31.5), 32);
    EXPECT_EQ(roundHalfAway(2.4999), 2);
}

TEST(Stats, MedianOfLargeVectorsAgreesWithSorting)
{
    // Large inputs take the bucketed selection: check it against a full sort, with ties,
    // negative values, zeros of both signs and both parities.
    std::mt19937 gen(42);
    std::uniform_int_distribution<int> coarse(-50, 50);
    std::exponential_distribution<double> spread(3.0);
    for (std::size_t n : {5000u, 5001u, 10000u, 10001u, 100000u, 100001u}) {
        for (int kind = 0; kind < 3; ++kind) {
            Vec v(n);
            for (double& x : v) {
                if (kind == 0) x = spread(gen);                 // measures: ≥ 0, skewed
                else if (kind == 1) x = coarse(gen) * 0.25;     // many ties, signs mixed
                else x = (gen() % 2 ? -0.0 : 0.0);              // all zero
            }
            Vec sorted = v;
            std::sort(sorted.begin(), sorted.end());
            const double expected = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
            EXPECT_EQ(median(v), expected) << "n=" << n << " kind=" << kind;
        }
    }
}

TEST(Text, NumbersBecomeTextWithUpToFiveSignificantDigits)
{
    EXPECT_EQ(num2str(85), "85");
    EXPECT_EQ(num2str(85.5), "85.5");
    EXPECT_EQ(num2str(0.5), "0.5");
    EXPECT_EQ(num2str(1.0 / 3.0), "0.33333");
    EXPECT_EQ(num2str(123456), "123456");
    EXPECT_EQ(num2str(-0.0), "0");
    EXPECT_EQ(num2str(2.0 / 3.0 * 1e-7), "6.6667e-08");
}

TEST(Text, TextToNumberIsStrictAndBlankTolerant)
{
    EXPECT_EQ(str2double("85"), 85);
    EXPECT_EQ(str2double(" 85.5 "), 85.5);
    EXPECT_EQ(str2double("-1e-3"), -1e-3);
    EXPECT_EQ(str2double("+.5"), 0.5);
    EXPECT_TRUE(std::isnan(str2double("85%")));
    EXPECT_TRUE(std::isnan(str2double("")));
    EXPECT_TRUE(std::isnan(str2double("1,5")));
    EXPECT_TRUE(std::isnan(str2double("--1")));
    EXPECT_FALSE(parseFiniteNumber("inf"));
    EXPECT_FALSE(parseFiniteNumber("nan"));
    EXPECT_FALSE(parseFiniteNumber("1e999"));
    ASSERT_TRUE(parseFiniteNumber("1e-400"));
    EXPECT_EQ(*parseFiniteNumber("1e-400"), 0.0);
}

TEST(Text, JoiningDropsTrailingBlanksOfEachPiece)
{
    EXPECT_EQ(strcatTrimmed({" threshold = ", "85"}), " threshold =85");
    EXPECT_EQ(strcatTrimmed({"E ", "-", "VG"}), "E-VG");
    EXPECT_EQ(strcatTrimmed({"FSV COLOR CODE CHART", " - ", " threshold = ", "85"}),
              "FSV COLOR CODE CHART - threshold =85");
}

// Valid sequences pass untouched; each byte of a broken one (overlong, surrogate, beyond
// U+10FFFF, cut short, stray continuation) shows as \xHH, so the result is always UTF-8.
TEST(Text, InvalidUtf8BytesAreEscapedVisibly)
{
    EXPECT_EQ(escapeInvalidUtf8("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80z"), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80z");
    EXPECT_EQ(escapeInvalidUtf8("\xff.txt"), "\\xff.txt");
    EXPECT_EQ(escapeInvalidUtf8("\xc0\xaf"), "\\xc0\\xaf");                  // overlong "/"
    EXPECT_EQ(escapeInvalidUtf8("\xed\xa0\x80"), "\\xed\\xa0\\x80");          // a surrogate
    EXPECT_EQ(escapeInvalidUtf8("\xf4\x90\x80\x80"), "\\xf4\\x90\\x80\\x80");  // beyond U+10FFFF
    EXPECT_EQ(escapeInvalidUtf8("ab\xe2\x82"), "ab\\xe2\\x82");                // cut short at the end
    EXPECT_EQ(escapeInvalidUtf8("\x80\xc3\xa9"), "\\x80\xc3\xa9");              // stray continuation
    EXPECT_EQ(escapeInvalidUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

// Freed arrays are kept and handed out again: what a kept block held must never show
// through an array that promises zeros, and kept blocks keep the alignment the transforms need.
TEST(ArrayMemory, ReusedBlocksAreZeroedAlignedAndGivenBack)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer build gives freed arrays back at once";
#endif
    releasePooledArrays();
    const std::size_t n = (std::size_t{1} << 20) + 3;  // above the huge-page size, not page-sized
    const double* first = nullptr;
    {
        Vec used(n, 7.5);
        first = used.data();
    }
    EXPECT_GE(pooledArrayBytes(), n * sizeof(double));
    Vec zeroed(n);
    EXPECT_EQ(zeroed.data(), first) << "the freed block of that size is taken again";
    EXPECT_TRUE(std::all_of(zeroed.begin(), zeroed.end(), [](double x) { return x == 0.0; }));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(zeroed.data()) % (std::size_t{2} << 20), 0u);
    // A slightly shorter array shares the block's rounded size and gets it with its alignment.
    zeroed = Vec();
    Vec shorter(n - 1, 1.0);
    EXPECT_EQ(shorter.data(), first);
    // Growing an array takes a kept block too and zeroes the new elements.
    shorter = Vec();
    Vec grown(3, 1.0);
    grown.resize(n - 2);
    EXPECT_EQ(grown.data(), first);
    EXPECT_TRUE(std::all_of(grown.begin() + 3, grown.end(), [](double x) { return x == 0.0; }));
    grown = Vec();
    releasePooledArrays();
    EXPECT_EQ(pooledArrayBytes(), 0u);
}

}  // namespace
}  // namespace orvane

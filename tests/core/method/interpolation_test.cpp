#include "method/common_grid.h"
#include "base/error.h"
#include "base/interp.h"
#include "support/recording.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

Vec range(double from, double step, std::size_t count)
{
    Vec v(count);
    for (std::size_t k = 0; k < count; ++k) v[k] = from + step * static_cast<double>(k);
    return v;
}

Vec ones(std::size_t n) { return Vec(n, 1.0); }

TEST(Interpolation, GridTakesTheFinestSpacingAndSpansTheCommonRange)
{
    const Vec xa = range(0, 0.5, 21), xb = range(0, 0.25, 41);
    const CommonGrid r = resampleOntoCommonGrid({xa, xb}, {xa, xb}, 2);
    ASSERT_EQ(r.abscissa.size(), 40u);
    EXPECT_EQ(r.abscissa.front(), 0);
    EXPECT_EQ(r.abscissa.back(), 10);
    for (std::size_t k = 0; k < 40; ++k) EXPECT_DOUBLE_EQ(r.abscissa[k], 10.0 * static_cast<double>(k) / 39.0);
    // The ordinate equals the abscissa, so linear interpolation must reproduce the grid.
    for (std::size_t k = 0; k < 40; ++k) EXPECT_NEAR(r.resampled[0][k], r.abscissa[k], 1e-12);
}

TEST(Interpolation, CommonRangeIsTheOverlap)
{
    const Vec xa = range(0, 0.5, 21), xb = range(2, 0.5, 21);
    const CommonGrid r = resampleOntoCommonGrid({ones(21), ones(21)}, {xa, xb}, 2);
    EXPECT_EQ(r.abscissa.front(), 2);
    EXPECT_EQ(r.abscissa.back(), 10);
    EXPECT_EQ(r.abscissa.size(), 16u);
}

TEST(Interpolation, SetsWithoutOverlapOrWithARepeatedAbscissaHaveNoCommonRange)
{
    try {
        resampleOntoCommonGrid({ones(3), ones(3)}, {range(0, 0.5, 3), range(2, 0.5, 3)}, 2);
        FAIL() << "sets without overlap gave a grid";
    } catch (const NoCommonRangeError& e) {
        EXPECT_STREQ(e.what(), "Error Data Input: Check x-Range of the data sets");
    }
    // A repeat among the first m-1 samples: spacing 0.
    EXPECT_THROW(resampleOntoCommonGrid({ones(4), ones(4)}, {Vec{0, 1, 1, 3}, range(0, 1, 4)}, 2), NoCommonRangeError);
}

TEST(Interpolation, TheLastSpacingOfASetIsNotMeasured)
{
    const CommonGrid r = resampleOntoCommonGrid({ones(4), ones(5)}, {Vec{0, 1, 2, 2.1}, Vec{0, 0.5, 1, 1.5, 2}}, 2);
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r.abscissa.size(), 4u);  // (2 - 0) / 0.5
}

TEST(Interpolation, UnusableAbscissaeAreRefused)
{
    EXPECT_THROW(resampleOntoCommonGrid({ones(4), ones(4)}, {Vec{0, 2, 1, 3}, range(0, 1, 4)}, 2), Error);
    EXPECT_THROW(resampleOntoCommonGrid({ones(4), ones(4)}, {Vec{0, 1, 2, 2}, range(0, 1, 4)}, 2), Error);
    EXPECT_EQ(findUnusableAbscissa({0, 1, 1, 2}), static_cast<std::size_t>(-1));  // left to the spacing check
    EXPECT_EQ(findUnusableAbscissa({0, 1, 2, 2}), 3u);
    EXPECT_EQ(findUnusableAbscissa({0, 1, 0.5, 2}), 2u);
}

TEST(Interpolation, RefusesGridsThatAreTooLargeOrOfOnePoint)
{
    try {
        resampleOntoCommonGrid({ones(3), ones(11)}, {Vec{0, 1e-6, 10}, range(0, 1, 11)}, 2, 1000);
        FAIL() << "a grid of 1e7 points was accepted";
    } catch (const Error& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("1e-06"), std::string::npos) << what;
        EXPECT_NE(what.find("[0, 10]"), std::string::npos) << what;
    }
    // Common range [0, 1] no longer than the spacing 1: one point.
    EXPECT_THROW(resampleOntoCommonGrid({ones(3), ones(3)}, {Vec{0, 1, 2}, Vec{-1, 0, 1}}, 2), Error);
}

TEST(Interpolation, NoGridPointBecomesNotANumberThroughRounding)
{
    // 1.094 + (3.397 - 1.094) rounds to just above 3.397, past the end of set 1.
    const double lo = 1.094, hi = 3.397;
    ASSERT_GT(lo + (hi - lo) * (20.0 / 20.0), hi);
    Vec xa = range(lo, (hi - lo) / 10, 11);
    xa.back() = hi;
    Vec ya(11);
    for (std::size_t k = 0; k < 11; ++k) ya[k] = static_cast<double>(k);
    const CommonGrid r = resampleOntoCommonGrid({ya, ones(51)}, {xa, range(0, 0.1, 51)}, 2);
    ASSERT_FALSE(r.empty());
    EXPECT_GT(r.abscissa.back(), hi);
    for (const Vec& set : r.resampled)
        for (double v : set) EXPECT_FALSE(std::isnan(v));
    EXPECT_EQ(r.resampled[0].back(), 10.0);
}

TEST(Av, IsTheElementWiseMean)
{
    EXPECT_EQ(averageSet({{1, 2, 3}, {3, 4, 5}}, 3, 2), (Vec{2, 3, 4}));
    // Only the first n sets count.
    EXPECT_EQ(averageSet({{1, 2, 3}, {3, 4, 5}, {100, 100, 100}}, 3, 2), (Vec{2, 3, 4}));
}

}  // namespace
}  // namespace orvane

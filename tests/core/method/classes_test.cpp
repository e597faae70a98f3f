#include "method/classes.h"
#include "support/recording.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

TEST(ConfidenceClass, BoundsAreOpenBelowAndClosedAbove)
{
    const Vec v{0, 0.1, 0.1000001, 0.2, 1.6, 2};
    const Histogram h = classHistogram(v, 6);
    const Histogram expected{2.0 / 6, 2.0 / 6, 0, 0, 1.0 / 6, 1.0 / 6};
    for (std::size_t c = 0; c < kClasses; ++c) EXPECT_DOUBLE_EQ(h[c], expected[c]) << c;
    EXPECT_EQ(confidenceClass(0.4), 3);
    EXPECT_EQ(confidenceClass(0.4000001), 4);
    EXPECT_EQ(confidenceClass(0.8), 4);
    EXPECT_EQ(confidenceClass(1e300), 6);
    EXPECT_EQ(confidenceClass(NAN), 0);
}

TEST(ConfidenceClass, HistogramsOfAllPointsAddUpToOne)
{
    Vec v;
    for (int j = 0; j < 1000; ++j) v.push_back(j * 0.0021);
    const Histogram h = classHistogram(v, 1000);
    double total = 0;
    for (double f : h) total += f;
    EXPECT_NEAR(total, 1.0, 1e-12);
}

TEST(meanClass, IsTheMeanClass)
{
    EXPECT_EQ(meanClass({1, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(meanClass({0, 0, 0, 0, 0, 1}), 6);
    EXPECT_EQ(meanClass({0.5, 0.5, 0, 0, 0, 0}), 1.5);
}

TEST(Conversion, MapsTotalsOntoTheClassScaleWithItsOffsets)
{
    EXPECT_DOUBLE_EQ(classScaleTotal(0), 1);
    EXPECT_DOUBLE_EQ(classScaleTotal(0.1), 2);
    EXPECT_DOUBLE_EQ(classScaleTotal(0.15), 2.51);
    EXPECT_DOUBLE_EQ(classScaleTotal(0.2), 3.01);
    EXPECT_DOUBLE_EQ(classScaleTotal(0.3), 3.505);
    EXPECT_DOUBLE_EQ(classScaleTotal(1.6), 6.00125);
    EXPECT_DOUBLE_EQ(classScaleTotal(1.7), 6);
    EXPECT_DOUBLE_EQ(classScaleTotal(-0.05), 0.5);  // no lower limit
    // Just above each bound the next segment starts slightly above its class number.
    EXPECT_NEAR(classScaleTotal(std::nextafter(0.1, 1.0)), 2.01, 1e-12);
    EXPECT_NEAR(classScaleTotal(std::nextafter(0.8, 1.0)), 5.00125, 1e-12);
}

}  // namespace
}  // namespace orvane

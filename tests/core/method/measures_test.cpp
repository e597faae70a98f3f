#include "method/adm.h"
#include "method/fdm.h"
#include "method/gdm.h"
#include "support/recording.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

const Histogram kAllExcellent{1, 0, 0, 0, 0, 0};

void expectAll(const Vec& v, double value, double tol = 1e-15)
{
    for (std::size_t j = 0; j < v.size(); ++j) EXPECT_NEAR(v[j], value, tol) << "at " << j;
}

TEST(ADM, ComparesEachSetWithTheAverage)
{
    const SetList low{{1, 1, 1, 1}, {3, 3, 3, 3}, {2, 2, 2, 2}};
    const SetList dc(3, Vec(4, 0.0));
    const AdmResult r = ADM(low, dc);
    EXPECT_EQ(r.Alpha_ADM[0], 3);
    expectAll(r.ADMi[0], 1.0 / 3);
    expectAll(r.ADM_oldi[0], 1.0 / 3);
    EXPECT_EQ(r.ADMc[0], (Histogram{0, 0, 1, 0, 0, 0}));
    EXPECT_NEAR(r.ADMtot[0], 1.0 / 3, 1e-15);
    // The average set against itself.
    expectAll(r.ADMi[2], 0);
    EXPECT_EQ(r.ADMc[2], kAllExcellent);
    EXPECT_EQ(r.ADMtot[2], 0);
}

TEST(ADM, DcTermIsWeightedByItsOwnExponential)
{
    const SetList low(3, Vec(2, 0.0));  // zero low parts: no division, offset 0
    const SetList dc{{1, 1}, {0, 0}, {0.5, 0.5}};
    const AdmResult r = ADM(low, dc);
    EXPECT_EQ(r.Alpha_ADM[0], 0);
    expectAll(r.ADM_oldi[0], 0);
    // Alpha_ADM2 = (2 + 1) / 2 = 1.5; ODM = |1 - 0.5| / 1.5 = 1/3; ADM = ODM·e^ODM.
    const double odm = 0.5 / 1.5;
    expectAll(r.ADMi[0], odm * std::exp(odm), 1e-15);
}

TEST(FDM, SampleDerivative)
{
    EXPECT_EQ(sampleDerivative({1, 4, 9, 16}), (Vec{3, 4, 6, 7}));
    EXPECT_EQ(sampleDerivative({3, 4, 6, 7}), (Vec{1, 1.5, 1.5, 1}));
    EXPECT_EQ(sampleDerivative({2, 5}), (Vec{3, 3}));
}

TEST(FDM, ComparesDerivativesWithTheAverage)
{
    const SetList low{{0, 1, 2, 3}, {0, 3, 6, 9}, {0, 2, 4, 6}};
    const SetList high(3, Vec(4, 0.0));
    const FdmResult r = FDM(low, high, true);
    EXPECT_EQ(r.LowData_dp[0], (Vec{1, 1, 1, 1}));
    // Lo2 = 8, afdm1 = 2·(4 + 8)/4 = 6, fd1 = (1 - 2)/6, FDM = 2·|fd1| = 1/3.
    expectAll(r.FDMi[0], 1.0 / 3);
    EXPECT_EQ(r.FDMc[0], (Histogram{0, 0, 1, 0, 0, 0}));
    expectAll(r.FDMi[2], 0);
    EXPECT_EQ(r.FDMc[2], kAllExcellent);
    EXPECT_EQ(r.FDMtot[2], 0);
    // Without asking, the derivatives are not kept.
    EXPECT_TRUE(FDM(low, high).LowData_dp.empty());
}

TEST(FDM, SignedTermsCanCancel)
{
    // Set 1's low slope is above the average's where its high slope is below: fd1 = −fd2.
    // Low: slopes 2 vs average 1 → fd1 = (2 − 1)/afdm1; high chosen so fd2 = −fd1.
    const SetList low{{0, 2, 4, 6}, {0, 0, 0, 0}, {0, 1, 2, 3}};
    // afdm1 = 2·(8 + 4)/4 = 6 → fd1 = 1/6. High slopes 0 vs 1: afdm2 = (0 + 4)·6/4 = 6 → fd2 = −1/6.
    const SetList high{{0, 0, 0, 0}, {0, 2, 4, 6}, {0, 1, 2, 3}};
    const FdmResult r = FDM(low, high);
    expectAll(r.FDMi[0], 0, 1e-15);
}

TEST(GDM, RootOfTheWeightedSquares)
{
    const SetList adm{{0.3, 0.4}, {0, 0}};
    const SetList fdm{{0.4, 0.3}, {0, 0}};
    const GdmResult unweighted = GDM(fdm, adm, 2, {1, 1}, {1, 1});
    EXPECT_DOUBLE_EQ(unweighted.GDMi[0][0], 0.5);
    EXPECT_EQ(unweighted.GDMc[0][3], 1);  // both points 0.5: class 4
    // Kadm multiplies the squared FDM, Kfdm the squared ADM.
    const GdmResult weighted = GDM(fdm, adm, 2, {1, 1}, {0.25, 1});
    EXPECT_NEAR(weighted.GDMi[0][1], std::sqrt(0.09 + 0.04), 1e-15);
    EXPECT_EQ(confidenceClass(weighted.GDMi[0][1]), 3);
    expectAll(weighted.GDMi[1], 0);
    EXPECT_EQ(weighted.GDMc[1], kAllExcellent);
    EXPECT_EQ(weighted.GDMtot[1], 0);
}

}  // namespace
}  // namespace orvane

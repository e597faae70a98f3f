#include "method/grade_spread.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

void expectRecord(const GradeRecord& r, double value, const std::string& range)
{
    EXPECT_EQ(r.value, value);
    EXPECT_EQ(r.range, range);
}

TEST(FSV_CC, SumEqualToTheThresholdDoesNotExceedIt)
{
    const Histogram h{0.85, 0.15, 0, 0, 0, 0};
    expectRecord(gradeOf(0.85, h), 2, "E-VG");
    expectRecord(spreadOf(0.85, h), 2, "E-VG");
}

TEST(FSV_CC, ThePerfectMatch)
{
    const Histogram h{1, 0, 0, 0, 0, 0};
    expectRecord(gradeOf(0.85, h), 1, "E   ");
    expectRecord(spreadOf(0.85, h), 1, "E-E");
}

TEST(FSV_CC, EqualFractionsTakeTheHigherClassFirst)
{
    const Histogram h{0, 0, 0.5, 0.5, 0, 0};
    expectRecord(gradeOf(0.85, h), 4, "E-F ");
    expectRecord(spreadOf(0.85, h), 2, "G-F");
    // With thr = 0.4 only the first of the tied classes is needed: class 6 before class 1.
    const Histogram split{0.5, 0, 0, 0, 0, 0.5};
    expectRecord(gradeOf(0.4, split), 1, "E   ");
    expectRecord(spreadOf(0.4, split), 1, "EP-EP");
}

TEST(FSV_CC, ZeroThresholdSkipsEmptyClasses)
{
    const Histogram h{0, 0, 0.3, 0.7, 0, 0};
    expectRecord(gradeOf(0, h), 3, "E-G ");
    expectRecord(spreadOf(0, h), 1, "F-F");
}

TEST(FSV_CC, SpreadRangeRunsFromBestToWorstCountedClass)
{
    const Histogram h{0.4, 0.02, 0.03, 0.05, 0.5, 0};
    expectRecord(spreadOf(0.85, h), 2, "E-P");
    expectRecord(gradeOf(0.85, h), 5, "E-P ");
    const Histogram wide{0.1, 0.35, 0.1, 0.35, 0.1, 0};
    expectRecord(spreadOf(0.85, wide), 4, "VG-P");  // classes 4, 2 (tie: higher first), 5, 3
}

TEST(FSV_CC, FullThresholdCountsOnlyTheClassesThatHoldPoints)
{
    expectRecord(gradeOf(1.0, {1, 0, 0, 0, 0, 0}), 1, "E   ");
    expectRecord(spreadOf(1.0, {1, 0, 0, 0, 0, 0}), 1, "E-E");
    expectRecord(gradeOf(1.0, {0.5, 0, 0.5, 0, 0, 0}), 3, "E-G ");
    expectRecord(spreadOf(1.0, {0.5, 0, 0.5, 0, 0, 0}), 2, "E-G");
    // Every class occupied: all six, and never past class 6.
    expectRecord(gradeOf(1.0, {0.1, 0.1, 0.2, 0.2, 0.2, 0.2}), 6, "E-EP");
    expectRecord(spreadOf(5.0, {0.1, 0.1, 0.2, 0.2, 0.2, 0.2}), 6, "E-EP");
    // A negative threshold still counts one class.
    expectRecord(gradeOf(-1, {0, 1, 0, 0, 0, 0}), 1, "E   ");
}

TEST(FSV_CC, EachSeriesHasItsOwnRecords)
{
    const GradeSpread gs = gradesAndSpreads(0.85, {{0.3, 0.3, 0.3, 0.1, 0, 0}, {1, 0, 0, 0, 0, 0}});
    ASSERT_EQ(gs.Grade.size(), 2u);
    expectRecord(gs.Spread[0], 3, "E-G");
    expectRecord(gs.Spread[1], 1, "E-E");
    expectRecord(gs.Grade[0], 3, "E-G ");
    expectRecord(gs.Grade[1], 1, "E   ");
}

}  // namespace
}  // namespace orvane

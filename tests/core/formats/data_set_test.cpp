#include "formats/data_set.h"
#include "base/error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ReadDataSet, SplitsAbscissaAndOrdinate)
{
    test::TempDir dir;
    const auto set = readDataSet(dir.write("a.txt", "0 10\n1 11\n2 12\n"));
    ASSERT_TRUE(set);
    EXPECT_EQ(set->abscissa, (Vec{0, 1, 2}));
    EXPECT_EQ(set->ordinate, (Vec{10, 11, 12}));
}

TEST(ReadDataSet, OtherColumnCountsAreLeftToTheCaller)
{
    test::TempDir dir;
    EXPECT_FALSE(readDataSet(dir.write("three.txt", "0 1 2\n1 2 3\n")));
    EXPECT_FALSE(readDataSet(dir.write("one.txt", "0\n1\n")));
    EXPECT_FALSE(readDataSet(dir.write("empty.txt", "# nothing here\n")));
}

TEST(ReadDataSet, ADecreasingAbscissaNamesFileAndLine)
{
    test::TempDir dir;
    const std::string path = dir.write("down.txt", "# f  value\n\n0 1\n1 2\n% note\n0.5 3\n2 4\n");
    try {
        readDataSet(path);
        FAIL() << "a decreasing abscissa was accepted";
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(e.line(), 6u);
        EXPECT_NE(std::string(e.what()).find("0.5"), std::string::npos) << e.what();
    }
}

TEST(ReadDataSet, ARepeatOnlyBetweenTheLastTwoSamplesIsRefused)
{
    test::TempDir dir;
    try {
        readDataSet(dir.write("end.txt", "0 1\n1 2\n2 3\n2 4\n"));
        FAIL() << "a repeated last abscissa was accepted";
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.line(), 4u);
    }
    // An earlier repeat is the grid check's business (it asks about the x-range).
    EXPECT_TRUE(readDataSet(dir.write("mid.txt", "0 1\n1 2\n1 3\n2 4\n")));
}

}  // namespace
}  // namespace orvane

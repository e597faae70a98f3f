#include "formats/data_set.h"
#include "base/error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ReadDataSet, SplitsAbscissaAndOrdinate)
{
    test::TempDir dir;
    const DataSet set = readDataSet(dir.write("a.txt", "0 10\n% a comment\n1 11\n2 12\n"));
    EXPECT_EQ(set.abscissa, (Vec{0, 1, 2}));
    EXPECT_EQ(set.ordinate, (Vec{10, 11, 12}));
    EXPECT_EQ(set.lines, (std::vector<std::size_t>{1, 3, 4}));
}

TEST(ReadDataSet, OtherColumnCountsNameFileLineAndWhatWasFound)
{
    test::TempDir dir;
    const std::string three = dir.write("three.txt", "# two solvers\n0 1 2\n1 2 3\n");
    const std::string one = dir.write("one.txt", "0\n1\n");
    const std::string empty = dir.write("empty.txt", "# nothing here\n");
    const std::pair<std::string, std::string> cases[] = {
        {three, three + ", line 2: 3 columns of numbers; two (abscissa, ordinate) are needed."},
        {one, one + ", line 1: 1 column of numbers; two (abscissa, ordinate) are needed."},
        {empty, empty + ": holds no line of numbers; two columns (abscissa, ordinate) are needed."},
    };
    for (const auto& [path, message] : cases) {
        try {
            readDataSet(path);
            ADD_FAILURE() << path << " was read";
        } catch (const ColumnCountError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
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
    EXPECT_EQ(readDataSet(dir.write("mid.txt", "0 1\n1 2\n1 3\n2 4\n")).abscissa.size(), 4u);
}

}  // namespace
}  // namespace orvane

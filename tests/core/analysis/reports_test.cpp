#include "analysis/reports.h"

#include "base/error.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

// Checks that the thrown Error names `file`.
template <class F>
void expectErrorNaming(F&& write, const fs::path& file)
{
    try {
        write();
        ADD_FAILURE() << "no error for " << file;
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
}

// Hand-written expected texts.
const std::string kAdm1 =
    " \t\t\tADM_1 \t\t\t \n"
    "\n"
    "Parameter \t\t\tValue\n"
    "\n"
    "ADM_1tot    \t\t\t 0.50000000 \n"
    "ADM_1conf   \t\t\t 1.25000000 \n"
    "ADM_1pw_conv\t\t\t 2.00000000 \n"
    "Kadm\t\t\t\t 0.75000000 \n";

// ---- value tables ----

TEST(SummaryReport, ColumnHoldsOneValuePerLineInShortestForm)
{
    TempDir dir;
    const Vec column{0, 0.5, -1.25, 3, 1e-7, 123456789, -0.0, 0.1, 1.0 / 3, 100000, 1e20, -2.5e-300, 1234.5};
    writeValues(dir.path(), column, "col");
    EXPECT_EQ(readFile(dir.path() / "col.txt"),
              "0\n0.5\n-1.25\n3\n1e-07\n123456789\n0\n0.1\n0.3333333333333333\n100000\n"
              "100000000000000000000\n-2.5e-300\n1234.5\n");
}

TEST(SummaryReport, ColumnValuesReadBackExactly)
{
    TempDir dir;
    Vec column;
    for (int i = 1; i <= 200; ++i) column.push_back(std::sin(i) * std::pow(10.0, i % 40 - 20));
    column.push_back(std::numeric_limits<double>::denorm_min());
    column.push_back(std::numeric_limits<double>::max());
    column.push_back(-9007199254740993.0);  // above 2^53: integer path must keep every digit
    // Whole numbers past the int64 range are written in full, several hundred digits each:
    // far more than the room kept per value, so the buffer has to grow.
    for (int i = 0; i < 30; ++i) column.push_back(i % 2 ? -std::numeric_limits<double>::max() : std::ldexp(1.0, 900 + i));
    writeValues(dir.path(), column, "exact");
    std::istringstream in(readFile(dir.path() / "exact.txt"));
    std::string line;
    std::size_t i = 0;
    while (std::getline(in, line)) {
        ASSERT_LT(i, column.size());
        EXPECT_EQ(line.find_first_of(" \t"), std::string::npos) << line;
        double back = 0;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), back);
        EXPECT_TRUE(ec == std::errc() && end == line.data() + line.size()) << line;
        EXPECT_EQ(back, column[i]) << line;
        if (column[i] == std::trunc(column[i])) {
            EXPECT_EQ(line.find_first_of(".e"), std::string::npos) << line;
        }
        ++i;
    }
    EXPECT_EQ(i, column.size());
}

// Quarter steps have a short exact text, so the expected file can be spelled out here.
std::string quarterText(std::size_t i)
{
    static const char* const fractions[] = {"", ".25", ".5", ".75"};
    return std::to_string(i / 4) + fractions[i % 4];
}

TEST(SummaryReport, LongTablesKeepTheirOrder)
{
    TempDir dir;
    const std::size_t n = 3 * 65536 + 7;  // several formatting blocks and a short last one
    Vec column(n);
    std::string expected;
    for (std::size_t i = 0; i < n; ++i) {
        column[i] = 0.25 * static_cast<double>(i);
        expected += quarterText(i) + '\n';
    }
    writeValues(dir.path(), column, "long");
    EXPECT_TRUE(readFile(dir.path() / "long.txt") == expected);

    Matrix m;
    m.rows = 40000;
    m.cols = 3;
    m.data.resize(m.rows * m.cols);
    expected.clear();
    for (std::size_t r = 0; r < m.rows; ++r) {
        for (std::size_t c = 0; c < m.cols; ++c) {
            m(r, c) = 0.25 * static_cast<double>(r * m.cols + c);
            expected += quarterText(r * m.cols + c) + (c + 1 < m.cols ? " " : "\n");
        }
    }
    writeValues(dir.path(), m, "wide");
    EXPECT_TRUE(readFile(dir.path() / "wide.txt") == expected);
}

TEST(SummaryReport, NonFiniteValuesAndEmptyInput)
{
    TempDir dir;
    const double inf = std::numeric_limits<double>::infinity();
    const Vec column{std::nan(""), inf, -inf};
    writeValues(dir.path(), column, "odd");
    EXPECT_EQ(readFile(dir.path() / "odd.txt"), "NaN\nInf\n-Inf\n");

    writeValues(dir.path(), Vec{}, "none");
    ASSERT_TRUE(fs::exists(dir.path() / "none.txt"));
    EXPECT_EQ(readFile(dir.path() / "none.txt"), "");
}

TEST(SummaryReport, MatrixRowsHaveSingleBlanksAndNoTrailingBlank)
{
    TempDir dir;
    Matrix m;
    m.rows = 3;
    m.cols = 3;
    m.data = {1, -2.5, 0.25, 1e-10, 7, -0.0, 1e21, 0.001, 65536};
    writeValues(dir.path(), m, "ADM");
    EXPECT_EQ(readFile(dir.path() / "ADM.txt"), "1 -2.5 0.25\n1e-10 7 0\n1000000000000000000000 0.001 65536\n");

    Matrix row;
    row.rows = 1;
    row.cols = 2;
    row.data = {0.5, 2};
    writeValues(dir.path(), row, "row");
    EXPECT_EQ(readFile(dir.path() / "row.txt"), "0.5 2\n");
}

TEST(SummaryReport, HistogramIsASixLineColumn)
{
    TempDir dir;
    const Histogram h{0.5, 0.25, 0.125, 0.0625, 0.0625, 0};
    writeValues(dir.path(), h, "ADMc_1");
    EXPECT_EQ(readFile(dir.path() / "ADMc_1.txt"), "0.5\n0.25\n0.125\n0.0625\n0.0625\n0\n");
}

TEST(SummaryReport, RewriteReplacesTheWholeFileAndLeavesNoTemporaries)
{
    TempDir dir;
    Vec longer(1000, 0.5);
    writeValues(dir.path(), longer, "r");
    writeValues(dir.path(), Vec{2}, "r");
    EXPECT_EQ(readFile(dir.path() / "r.txt"), "2\n");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"r.txt"});
}

// ---- averages ----

TEST(AveragesReport, EachMeasureNamesItsOwnWeights)
{
    TempDir dir;
    writeMeasureAverages(dir.path(), {0.5, 1.25, 2}, "ADM_1", 0.75, -1);
    EXPECT_EQ(readFile(dir.path() / "ADM_1_average.txt"), kAdm1);

    writeMeasureAverages(dir.path(), {1.0 / 3, 2.0 / 3, 6}, "FDM_2", -1, 0.25);
    EXPECT_EQ(readFile(dir.path() / "FDM_2_average.txt"),
              " \t\t\tFDM_2 \t\t\t \n"
              "\n"
              "Parameter \t\t\tValue\n"
              "\n"
              "FDM_2tot    \t\t\t 0.33333333 \n"
              "FDM_2conf   \t\t\t 0.66666667 \n"
              "FDM_2pw_conv\t\t\t 6.00000000 \n"
              "Kfdm\t\t\t\t 0.25000000 \n");

    writeMeasureAverages(dir.path(), {123.456789012, -0.5, 0}, "GDM_3", 0.75, 0.25);
    EXPECT_EQ(readFile(dir.path() / "GDM_3_average.txt"),
              " \t\t\tGDM_3 \t\t\t \n"
              "\n"
              "Parameter \t\t\tValue\n"
              "\n"
              "GDM_3tot    \t\t\t 123.45678901 \n"
              "GDM_3conf   \t\t\t -0.50000000 \n"
              "GDM_3pw_conv\t\t\t 0.00000000 \n"
              "Kadm\t\t\t\t 0.75000000 \n"
              "Kfdm\t\t\t\t 0.25000000 \n");
}

TEST(AveragesReport, NoApplicableWeightWritesBothLines)
{
    TempDir dir;
    writeMeasureAverages(dir.path(), {0.5, 1.25, 2}, "ADM_1", 0.75, -1);
    EXPECT_EQ(readFile(dir.path() / "ADM_1_average.txt"), kAdm1);

    writeMeasureAverages(dir.path(), {1, 1, 1}, "X", -1, -1);
    EXPECT_EQ(readFile(dir.path() / "X_average.txt"),
              " \t\t\tX \t\t\t \n"
              "\n"
              "Parameter \t\t\tValue\n"
              "\n"
              "Xtot    \t\t\t 1.00000000 \n"
              "Xconf   \t\t\t 1.00000000 \n"
              "Xpw_conv\t\t\t 1.00000000 \n"
              "Kadm\t\t\t\t -1.00000000 \n"
              "Kfdm\t\t\t\t -1.00000000 \n");
}

// ---- grade and spread ----

TEST(GradeSpreadReport, ThreeBlocksInTheOrderADMFDMGDM)
{
    TempDir dir;
    writeGradeSpreadReport(dir.path(), {2, "E-VG"}, {3, "G-F"}, "ADM_1", {1, "E   "}, {1, "E-E"}, "FDM_1", {4, "E-F "},
               {2, "EP-EP"}, "GDM_1", "GreadSpread", "70");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"GreadSpread_70.txt"});
    EXPECT_EQ(readFile(dir.path() / "GreadSpread_70.txt"),
              " \t\t\tADM_1 \t\t\t \n"
              "\n"
              "Grade-Value \t Grade-Range \t Spread-Value \t Spread-Range\n"
              "\n"
              "2.00000000 \t\t E-VG \t\t 3.00000000 \t\t G-F \n"
              "\n"
              " \t\t\tFDM_1 \t\t\t \n"
              "\n"
              "Grade-Value \t Grade-Range \t Spread-Value \t Spread-Range\n"
              "\n"
              "1.00000000 \t\t E    \t\t 1.00000000 \t\t E-E \n"
              "\n"
              " \t\t\tGDM_1 \t\t\t \n"
              "\n"
              "Grade-Value \t Grade-Range \t Spread-Value \t Spread-Range\n"
              "\n"
              "4.00000000 \t\t E-F  \t\t 2.00000000 \t\t EP-EP \n"
              "\n");
}

TEST(GradeSpreadReport, EachCallReplacesTheFile)
{
    TempDir dir;
    writeGradeSpreadReport(dir.path(), {6, "E-EP"}, {6, "E-EP"}, "ADM_1", {6, "E-EP"}, {6, "E-EP"}, "FDM_1", {6, "E-EP"},
               {6, "E-EP"}, "GDM_1", "GreadSpread", "85");
    writeGradeSpreadReport(dir.path(), {1, "E   "}, {1, "E-E"}, "ADM_3", {2, "E-VG"}, {2, "E-VG"}, "FDM_3", {3, "E-G "},
               {2, "G-F"}, "GDM_3", "GreadSpread", "85");
    EXPECT_EQ(readFile(dir.path() / "GreadSpread_85.txt"),
              " \t\t\tADM_3 \t\t\t \n\nGrade-Value \t Grade-Range \t Spread-Value \t Spread-Range\n\n"
              "1.00000000 \t\t E    \t\t 1.00000000 \t\t E-E \n\n"
              " \t\t\tFDM_3 \t\t\t \n\nGrade-Value \t Grade-Range \t Spread-Value \t Spread-Range\n\n"
              "2.00000000 \t\t E-VG \t\t 2.00000000 \t\t E-VG \n\n"
              " \t\t\tGDM_3 \t\t\t \n\nGrade-Value \t Grade-Range \t Spread-Value \t Spread-Range\n\n"
              "3.00000000 \t\t E-G  \t\t 2.00000000 \t\t G-F \n\n");
}

// ---- failures ----

TEST(ReportFailure, FolderThatIsAFileOrMissing)
{
    TempDir dir;
    const std::string notAFolder = dir.write("plain", "keep");
    expectErrorNaming([&] { writeValues(notAFolder, Vec{1}, "col"); }, fs::path(notAFolder) / "col.txt");
    expectErrorNaming([&] { writeMeasureAverages(notAFolder, {1, 2, 3}, "ADM_1", 1, -1); },
                      fs::path(notAFolder) / "ADM_1_average.txt");
    EXPECT_EQ(readFile(notAFolder), "keep");

    const fs::path missing = dir.path() / "gone";
    expectErrorNaming([&] { writeValues(missing, Vec{1}, "col"); }, missing / "col.txt");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plain"});
}

TEST(ReportFailure, DirectoryInTheWayOfTheReport)
{
    TempDir dir;
    fs::create_directory(dir.path() / "GreadSpread_70.txt");
    const GradeRecord r{1, "E   "};
    expectErrorNaming([&] { writeGradeSpreadReport(dir.path(), r, r, "A", r, r, "F", r, r, "G", "GreadSpread", "70"); },
                      dir.path() / "GreadSpread_70.txt");
    EXPECT_TRUE(fs::is_directory(dir.path() / "GreadSpread_70.txt"));
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"GreadSpread_70.txt"});
}

TEST(ReportFailure, FailedWriteKeepsTheOldReportAndRemovesTheTemporary)
{
    TempDir dir;
    writeValues(dir.path(), Vec{1, 2}, "keep");
    Vec big(10000, 0.123456789);
    {
        test::FileSizeLimit limit(4096);
        expectErrorNaming([&] { writeValues(dir.path(), big, "keep"); }, dir.path() / "keep.txt");
        expectErrorNaming([&] { writeValues(dir.path(), big, "fresh"); }, dir.path() / "fresh.txt");
    }
    EXPECT_EQ(readFile(dir.path() / "keep.txt"), "1\n2\n");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"keep.txt"});
}

TEST(ReportFailure, ReadOnlyFolderKeepsTheOldReport)
{
    TempDir dir;
    writeMeasureAverages(dir.path(), {0.5, 1.25, 2}, "ADM_1", 0.75, -1);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    struct Restore {
        fs::path p;
        ~Restore() { fs::permissions(p, fs::perms::owner_all); }
    } restore{dir.path()};
    if (access(dir.path().c_str(), W_OK) == 0) GTEST_SKIP() << "permissions are not enforced for this user";

    expectErrorNaming([&] { writeMeasureAverages(dir.path(), {9, 9, 9}, "ADM_1", 1, -1); }, dir.path() / "ADM_1_average.txt");
    EXPECT_EQ(readFile(dir.path() / "ADM_1_average.txt"), kAdm1);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"ADM_1_average.txt"});
}

// ---- locale ----

TEST(ReportLocale, DecimalCommaLocaleChangesNothing)
{
    struct LocaleGuard {
        std::string old = std::setlocale(LC_ALL, nullptr);
        ~LocaleGuard() { std::setlocale(LC_ALL, old.c_str()); }
    } guard;
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5");  // the locale really uses a decimal comma

    TempDir dir;
    writeMeasureAverages(dir.path(), {0.5, 1.25, 2}, "ADM_1", 0.75, -1);
    EXPECT_EQ(readFile(dir.path() / "ADM_1_average.txt"), kAdm1);
    writeValues(dir.path(), Vec{0.5, -1.25, 1e-7}, "col");
    EXPECT_EQ(readFile(dir.path() / "col.txt"), "0.5\n-1.25\n1e-07\n");
    const GradeRecord g{2.5, "E-VG"};
    writeGradeSpreadReport(dir.path(), g, g, "A", g, g, "F", g, g, "G", "GreadSpread", "85");
    EXPECT_NE(readFile(dir.path() / "GreadSpread_85.txt").find("2.50000000 \t\t E-VG \t\t 2.50000000 \t\t E-VG \n"),
              std::string::npos);
}

}  // namespace
}  // namespace orvane

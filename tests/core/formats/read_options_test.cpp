#include "formats/data_set.h"
#include "base/error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace orvane {
namespace {

using Q = ReadOptions::Quantity;

ReadOptions with(Q quantity, std::string parameter = {})
{
    ReadOptions o;
    o.quantity = quantity;
    o.parameter = std::move(parameter);
    return o;
}

template <class F>
std::string errorOf(F&& read)
{
    try {
        read();
    } catch (const DataFileError& e) {
        return e.what();
    }
    return "(no error)";
}

// One frequency with S21 = 0.3 + 0.4i (|S21| = 0.5) and S12 = -0.6 + 0.8i (|S12| = 1),
// stored as RI, MA and DB: every form must give the same dB, magnitude and phase.
TEST(Touchstone, OneRowInEveryStoredFormMatchesTheHandComputedValues)
{
    test::TempDir dir;
    const double db21 = 20 * std::log10(0.5), deg21 = std::atan2(0.4, 0.3) * 180 / std::numbers::pi;
    const double deg12 = std::atan2(0.8, -0.6) * 180 / std::numbers::pi;
    const auto ma = [](double m, double d) { return std::to_string(m) + " " + std::to_string(d); };
    const std::string files[] = {
        dir.write("ri.s2p", "! RI\n# MHz S RI R 50\n100 0.1 0 0.3 0.4 -0.6 0.8 0.1 0 ! one row\n"),
        dir.write("ma.s2p", "# MHz S MA R 50\n100 0.1 0 " + ma(0.5, deg21) + " " + ma(1, deg12) + " 0.1 0\n"),
        dir.write("db.S2P", "# mhz s db r 50\n100 -20 0 " + ma(db21, deg21) + " " + ma(0, deg12) + " -20 0\n"),
        dir.write("v2.ts", "[Version] 2.0\n# MHz S RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n"
                           "[Number of Frequencies] 1\n[Reference] 50\n75\n[Network Data]\n"
                           "100 0.1 0 -0.6 0.8\n 0.3 0.4 0.1 0\n[End]\n"),
    };
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const DataSet db = readDataSet(path, with(Q::Db));
        ASSERT_EQ(db.abscissa.size(), 1u);
        EXPECT_EQ(db.abscissa[0], 100e6);
        EXPECT_NEAR(db.ordinate[0], db21, 1e-5);
        EXPECT_NEAR(readDataSet(path, with(Q::Magnitude)).ordinate[0], 0.5, 1e-6);
        EXPECT_NEAR(readDataSet(path, with(Q::PhaseDeg)).ordinate[0], deg21, 1e-5);
        EXPECT_NEAR(readDataSet(path, with(Q::Magnitude, "S12")).ordinate[0], 1.0, 1e-6);
        EXPECT_NEAR(readDataSet(path, with(Q::PhaseDeg, "s12")).ordinate[0], deg12, 1e-5);
        EXPECT_EQ(db.report.parameter, "S21");
        EXPECT_EQ(db.report.ports, 2u);
    }
    EXPECT_EQ(readDataSet(files[3], {}).report.referenceImpedance, (std::vector<double>{50, 75}));
    EXPECT_EQ(readDataSet(files[0], {}).report.format, "Touchstone 1");
    EXPECT_EQ(readDataSet(files[3], {}).report.format, "Touchstone 2");
}

// Four ports wrap over four lines per frequency, row by row; a one-port file defaults to
// S11; the phase unwraps across ±180°; noise data after a two-port's network data is left.
TEST(Touchstone, WrappedRowsDefaultsUnwrappingAndNoise)
{
    test::TempDir dir;
    std::string four = "# GHz S RI\n";
    for (int f = 1; f <= 2; ++f) {
        four += std::to_string(f);
        for (int i = 1; i <= 4; ++i) {
            for (int j = 1; j <= 4; ++j) four += " " + std::to_string(i * 10 + j + f * 100) + " 0";
            four += "\n";
        }
    }
    const DataSet s34 = readDataSet(dir.write("four.s4p", four), with(Q::Magnitude, "S34"));
    EXPECT_EQ(s34.ordinate, (Vec{134, 234}));
    EXPECT_EQ(s34.abscissa, (Vec{1e9, 2e9}));
    EXPECT_EQ(s34.lines, (std::vector<std::size_t>{2, 6}));

    const std::string one = dir.write("one.s1p", "# Hz S MA\n1 1 170\n2 1 -170\n3 1 -10\n4 1 170\n");
    EXPECT_EQ(readDataSet(one, with(Q::PhaseDeg)).ordinate, (Vec{170, -170, -10, 170}));
    EXPECT_EQ(readDataSet(one, with(Q::PhaseUnwrapped)).ordinate, (Vec{170, 190, 350, 170}));
    EXPECT_EQ(readDataSet(one, with(Q::Db)).report.parameter, "S11");

    const DataSet noisy = readDataSet(
        dir.write("noise.s2p", "# Hz S RI\n1 0 0 1 0 0 0 0 0\n2 0 0 2 0 0 0 0 0\n1 1.5 0.5 30 0.3\n2 1.6 0.5 31 0.3\n"),
        with(Q::Magnitude));
    EXPECT_EQ(noisy.ordinate, (Vec{1, 2}));
}

TEST(Touchstone, FaultsNameFileAndLine)
{
    test::TempDir dir;
    const std::string cut = dir.write("cut.s2p", "# Hz S RI\n1 0 0 1 0 0 0 0 0\n2 0 0 1 0\n");
    EXPECT_NE(errorOf([&] { readDataSet(cut, {}); }).find(cut + ", line 3: the last frequency has 5 of its 9"),
              std::string::npos);
    const std::string ok = dir.write("ok.s2p", "# Hz S RI\n1 0 0 1 0 0 0 0 0\n");
    EXPECT_NE(errorOf([&] { readDataSet(ok, with(Q::Db, "S31")); }).find("\"S31\" does not exist in a 2-port file"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { readDataSet(ok, with(Q::Db, "Y21")); }).find("holds S parameters"), std::string::npos);
    EXPECT_NE(errorOf([&] { readDataSet(ok, with(Q::Db, "S11")); }).find("has no value in dB"), std::string::npos);
    const std::string count = dir.write("count.ts", "[Version] 2.0\n# Hz S RI\n[Number of Ports] 1\n"
                                                    "[Number of Frequencies] 3\n[Network Data]\n1 1 0\n2 1 0\n[End]\n");
    EXPECT_NE(errorOf([&] { readDataSet(count, {}); }).find("is 3 but the file holds 2"), std::string::npos);
}

// An analyser export: metadata, titles with units, quoted fields; x and y chosen by title.
TEST(ExtendedText, MetadataTitlesUnitsAndColumnChoice)
{
    test::TempDir dir;
    const std::string path = dir.write(
        "vna.csv", "Type;Analyser;\nVersion;1.2;\nValues;3;\nFreq/MHz;S11 [dB];S21 [dB];\n"
                   "\"1\";\"-20\";\"-3\";\n\"2\";\"-21\";\"-4\";\n\"3\";\"-22\";\"-5\";\n");
    ReadOptions byName;
    byName.yName = "s21";
    const DataSet set = readDataSet(path, byName);
    EXPECT_EQ(set.abscissa, (Vec{1e6, 2e6, 3e6}));
    EXPECT_EQ(set.ordinate, (Vec{-3, -4, -5}));
    EXPECT_EQ(set.lines, (std::vector<std::size_t>{5, 6, 7}));
    EXPECT_EQ(set.report.skippedLines, 4u);
    EXPECT_EQ(set.report.xUnit, "MHz");
    EXPECT_TRUE(set.report.quotedFields);
    EXPECT_EQ(set.report.summary(),
              "text, columns 1,3 of 3 (Freq/MHz, S21 [dB]), x in MHz × 1000000, 4 metadata lines skipped, quoted fields");

    ReadOptions byNumber;
    byNumber.xColumn = 1, byNumber.yColumn = 2, byNumber.xUnit = "none";
    EXPECT_EQ(readDataSet(path, byNumber).abscissa, (Vec{1, 2, 3}));
    EXPECT_EQ(readDataSet(path, byNumber).ordinate, (Vec{-20, -21, -22}));

    // Without a choice: refused, saying how many columns there are and how to choose.
    try {
        readDataSet(path, {});
        FAIL() << "three columns were taken without a choice";
    } catch (const ColumnCountError& e) {
        EXPECT_EQ(e.line(), 5u);
        EXPECT_NE(std::string(e.what()).find("3 columns of numbers; two (abscissa, ordinate) are needed. Choose them "
                                             "with --columns X,Y (orvane-batch)"),
                  std::string::npos)
            << e.what();
    }
    ReadOptions missing;
    missing.yName = "S31";
    EXPECT_NE(errorOf([&] { readDataSet(path, missing); }).find("no column is titled \"S31\""), std::string::npos);
}

// Decimal comma, UTF-16 in both byte orders, merging, and what stays as it was: a plain file
// reads as readDataSet(path) reads it, and a bad line after the numbers began is an error.
TEST(ExtendedText, EncodingsDecimalCommaMergingAndUnchangedPlainFiles)
{
    test::TempDir dir;
    const DataSet comma = readDataSet(dir.write("comma.txt", "Time (ns)\tV\n0,5\t1,25\n1,5\t-2,5\n"), {});
    EXPECT_EQ(comma.abscissa, (Vec{0.5 * 1e-9, 1.5 * 1e-9}));
    EXPECT_EQ(comma.ordinate, (Vec{1.25, -2.5}));
    EXPECT_TRUE(comma.report.decimalComma);
    // With a point anywhere in the numbers, the comma separates as always.
    EXPECT_EQ(readDataSet(dir.write("point.txt", "1,2.5\n2,3\n"), {}).ordinate, (Vec{2.5, 3}));

    const std::string text = "f (kHz);y\r\n1;10\r\n2;20\r\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char c : text) le += std::string{c, '\0'}, be += std::string{'\0', c};
    for (const auto& [name, bytes, encoding] :
         {std::tuple{"le.txt", le, "UTF-16LE"}, std::tuple{"be.txt", be, "UTF-16BE"}}) {
        const DataSet set = readDataSet(dir.write(name, bytes), {});
        EXPECT_EQ(set.abscissa, (Vec{1e3, 2e3})) << name;
        EXPECT_EQ(set.ordinate, (Vec{10, 20})) << name;
        EXPECT_EQ(set.report.encoding, encoding);
    }

    const std::string dup = dir.write("dup.txt", "1 1\n2 2\n2 4\n3 5\n3 7\n");
    ReadOptions merge;
    merge.mergeDuplicates = true;
    const DataSet merged = readDataSet(dup, merge);
    EXPECT_EQ(merged.abscissa, (Vec{1, 2, 3}));
    EXPECT_EQ(merged.ordinate, (Vec{1, 3, 6}));
    EXPECT_EQ(merged.report.mergedSamples, 2u);
    EXPECT_EQ(errorOf([&] { readDataSet(dup, {}); }), errorOf([&] { readDataSet(dup); }));

    const std::string plain = dir.write("plain.txt", "# f/MHz y\nfreq value\n1 2\n3 4\n");
    const DataSet before = readDataSet(plain), now = readDataSet(plain, {});
    EXPECT_EQ(now.abscissa, before.abscissa);
    EXPECT_EQ(now.ordinate, before.ordinate);
    EXPECT_EQ(now.lines, before.lines);
    EXPECT_TRUE(now.report.plain);

    const std::string bad = dir.write("bad.txt", "Date;today\n1;2\n2;3\nthree;4\n");
    const std::string message = errorOf([&] { readDataSet(bad, {}); });
    EXPECT_EQ(message, bad + ", line 4: \"three\" is not a number");
    // The plain reader stops at "Version"; the extended one sees metadata and finds line 5.
    const std::string late = dir.write("late.csv", "Type;Analyser\nVersion;1.2\nf;y\n1;2\n2;x\n");
    EXPECT_EQ(errorOf([&] { readDataSet(late, {}); }), late + ", line 5: \"x\" is not a number");
    const std::string plainBad = dir.write("plainbad.txt", "1 2\nabc\n3 4\n");
    EXPECT_EQ(errorOf([&] { readDataSet(plainBad, {}); }), errorOf([&] { readDataSet(plainBad); }));
}

}  // namespace
}  // namespace orvane

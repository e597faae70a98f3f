#include "formats/dlmread.h"

#include "base/error.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

DataTable parse(std::string_view text, char extra = ' ') { return parseDelimitedText(text, "data.txt", extra); }

void expectMatrix(const Matrix& m, std::size_t rows, std::size_t cols, const std::vector<double>& values)
{
    EXPECT_EQ(m.rows, rows);
    EXPECT_EQ(m.cols, cols);
    EXPECT_EQ(m.data, values);
}

// `f` must fail with a DataFileError on `line` whose reason contains `part`; returns its what().
std::string expectDataError(const std::function<void()>& f, std::size_t line, const std::string& part)
{
    try {
        f();
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.line(), line) << e.what();
        EXPECT_NE(e.reason().find(part), std::string::npos) << e.reason() << "\nwanted: " << part;
        return e.what();
    }
    ADD_FAILURE() << "no DataFileError; wanted line " << line << ": " << part;
    return {};
}

std::string expectParseError(std::string_view text, std::size_t line, const std::string& part, char extra = ' ')
{
    return expectDataError([&] { parse(text, extra); }, line, part);
}

class DlmreadFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("orvane-dlmread-" + std::to_string(::getpid()) + "-" + std::to_string(stamp));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string write(const std::string& name, std::string_view content)
    {
        std::ofstream(dir_ / name, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        return (dir_ / name).string();
    }
    fs::path dir_;
};

TEST_F(DlmreadFile, ReadsRowsAndLinesOfAFile)
{
    expectMatrix(readDataTable(write("a.txt", "0 1\n1 2\n")).values, 2, 2, {0, 1, 1, 2});
    const DataTable t = readDataTable(write("c.txt", "\xEF\xBB\xBF# by hand\r\ntime volt\r\n\r\n0 1\r\n% x\r\n1 2\r\n"));
    expectMatrix(t.values, 2, 2, {0, 1, 1, 2});
    EXPECT_EQ(t.lines, (std::vector<std::size_t>{4, 6}));
    for (const char* content : {"", "\n\n", "# only\n// comments\n", "\xEF\xBB\xBF", "x y\n"})
        expectMatrix(readDataTable(write("e.txt", content)).values, 0, 0, {});
    const std::string bad = write("bad.txt", "1 2\n3\n");
    EXPECT_EQ(expectDataError([&] { readDataTable(bad); }, 2, ""), bad + ", line 2: 1 number where the first data line has 2: \"3\"");
}

TEST_F(DlmreadFile, WhatIsNotAFileIsNamedForWhatItIsAndAPipeIsReadWhole)
{
    const std::string missing = (dir_ / "missing.txt").string();
    for (const std::string& path : {missing, std::string()})
        EXPECT_EQ(expectDataError([&] { readDataTable(path); }, 0, "File not found."), path + ": File not found.");
    expectDataError([&] { readDataTable(dir_.string()); }, 0, "Is a folder, not a data file.");
    expectDataError([&] { readDataTable("/dev/null"); }, 0,
                    "Is not a regular file (a device or socket), so it cannot be read as a data file.");

    const std::string fifo = (dir_ / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo) << "0 1\n1 2\n2 3\n"; });
    const DataTable t = readDataTable(fifo);
    writer.join();
    expectMatrix(t.values, 3, 2, {0, 1, 1, 2, 2, 3});
}

TEST_F(DlmreadFile, AnExtraSeparatorIsReadLikeAComma)
{
    const std::string path = write("d.txt", "1|2\t3\n4|5\t6\n");
    expectMatrix(readDataTable(path, '|').values, 2, 3, {1, 2, 3, 4, 5, 6});
    expectDataError([&] { readDataTable(path); }, 1, "\"1|2\" is not a number");
}

TEST(DlmreadParse, SeparatorsReadAlike)
{
    for (const char* text : {"1 -2.5 3e3\n4 5 6\n", "1    -2.5\t\t3e3\n 4\t 5  6  \n", "1,-2.5,3e3\n4,5,6\n",
                             "1;-2.5;3e3\n4;5;6\n", "1 , -2.5 ,3e3\n4 ;\t5; 6\n", "1,-2.5,3e3,\n4;5;6; \n"})
        expectMatrix(parse(text).values, 2, 3, {1, -2.5, 3e3, 4, 5, 6});
    expectMatrix(parse("1:2\n3 : 4:\n", ':').values, 2, 2, {1, 2, 3, 4});
    const std::pair<const char*, std::size_t> empty[] = {{"1,,2\n", 1}, {"1 2\n3 , ; 4\n", 2}, {",1,2\n", 1}, {"1\n,\n", 2}};
    for (const auto& [text, line] : empty) expectParseError(text, line, "empty field in");
    expectParseError("1,,2\n", 1, "empty field", '\t');
}

TEST(DlmreadParse, CommentsBlankLinesAndOneTitleLineAreSkipped)
{
    const DataTable t = parse("# a\n\t\n  t [s]; U [V]\n1 2\n  % b\n!c\n//d\n\n3 4\n   \n5 6");
    expectMatrix(t.values, 3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(t.lines, (std::vector<std::size_t>{4, 9, 11}));
    expectParseError("1 2\n/ 3\n", 2, "\"/\" is not a number");
    expectParseError("t U\nsecond titles\n1 2\n", 2, "\"second\" is not a number");
    expectParseError("1 2\nt U\n", 2, "\"t\" is not a number");
    expectParseError("x 1\n2 3\n", 1, "\"x\" is not a number");
    expectParseError("nan inf\n1 2\n", 1, "\"nan\" is not a finite number");  // not titles
}

TEST(DlmreadParse, LineEndsOfEveryKind)
{
    for (const char* text : {"1 2\n3 4\n5 6\n", "1 2\r\n3 4\r\n5 6\r\n", "1 2\r3 4\r5 6\r", "1 2\r\n3 4\r5 6",
                             "\xEF\xBB\xBF" "1 2\n3 4\n5 6"})
        expectMatrix(parse(text).values, 3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(parse("1\r\r\n2\r\r3\n").lines, (std::vector<std::size_t>{1, 3, 5}));
    expectParseError("1 2\r3 4\r5\r", 3, "1 number where the first data line has 2: \"5\"");
    expectParseError("1\n\xEF\xBB\xBF" "2\n", 2, "is not a number");  // a BOM only counts at the start
}

TEST(DlmreadParse, BadFieldsAndRaggedLinesNameLineAndText)
{
    EXPECT_EQ(expectParseError("0 1\n1 2\n1 2 3\n", 3, ""),
              "data.txt, line 3: 3 numbers where the first data line has 2: \"1 2 3\"");
    expectParseError("1 2 3\n\n4 5\n", 3, "2 numbers where the first data line has 3: \"4 5\"");
    for (const char* field : {"nan", "inf", "-Inf", "1e999", "-1e309"})
        expectParseError(std::string("1 2\n3 ") + field + "\n", 2, "\"" + std::string(field) + "\" is not a finite number");
    for (const char* field : {"abc", "1.2.3", "0x10", "+-1", "1d3", "--", "5e"})
        expectParseError(std::string("1 2\n3 ") + field + "\n", 2, "\"" + std::string(field) + "\" is not a number");
    expectParseError(std::string_view("1 2\n3 4\0\n", 9), 2, "\"4\\x00\" is not a number");  // NUL ends nothing
    expectMatrix(parse("+1 -.5 1. 1E+3 007 1e-400 4.9e-324\n").values, 1, 7, {1, -0.5, 1, 1000, 7, 0, 4.9e-324});
}

TEST(DlmreadParse, QuotedTextIsSafeToPrint)
{
    const std::string what = expectParseError("1\n\x1b]0:pwned\x07\x1b[2J\n", 2, "\\x1B]0:pwned\\x07\\x1B[2J");
    for (const char c : what) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
    expectParseError("1\n" + std::string(500, 'x') + "\n", 2, "\"" + std::string(40, 'x') + "\"... is not");
    expectParseError("1\n" + std::string(39, 'y') + "\xC2\xB5zz\n", 2, "\"" + std::string(39, 'y') + "\"...");
    // Readable UTF-8 stays; C1 controls, bidi overrides and broken sequences become bytes.
    expectParseError("1\n\xC2\xB5V\n", 2, "\"\xC2\xB5V\" is not");
    expectParseError("1\na\xC2\x9B" "b\n", 2, "\"a\\xC2\\x9Bb\"");
    expectParseError("1\na\xE2\x80\xAE" "b\n", 2, "\"a\\xE2\\x80\\xAEb\"");
    expectParseError("1\n\xC0\xAF\xFF\n", 2, "\"\\xC0\\xAF\\xFF\"");
    expectParseError("1\na\"b\\c\n", 2, "\"a\\\"b\\\\c\"");
}

TEST(DlmreadParse, LocaleWithDecimalCommaChangesNothing)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    bool found = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"})
        if (!found && std::setlocale(LC_ALL, name)) found = std::localeconv()->decimal_point[0] == ',';
    const std::optional<DataTable> t = found ? std::optional(parse("1.5 -2.25e1 0\n1,5 7\n")) : std::nullopt;
    std::setlocale(LC_ALL, saved.c_str());
    if (!found) GTEST_SKIP() << "no locale with a decimal comma is installed";
    expectMatrix(t->values, 2, 3, {1.5, -22.5, 0, 1, 5, 7});
}

// Random tables written with random separators, comments and line ends read back exactly.
TEST(DlmreadParse, WrittenTablesReadBack)
{
    std::mt19937 rng(20240611);
    const char* separators[] = {" ", "\t", "  \t ", ",", ";", " , ", "\t;\t"};
    const char* lineEnds[] = {"\n", "\r\n", "\r"};
    std::uniform_real_distribution<double> exponent(-300, 300);
    for (int round = 0; round < 200; ++round) {
        const std::size_t cols = 1 + rng() % 6, rows = rng() % 30;
        const std::string le = lineEnds[rng() % 3];
        std::string text = std::string(rng() % 2 ? "\xEF\xBB\xBF" : "") + (rng() % 2 ? "col_a col_b" + le : "");
        std::size_t line = text.find('c') == std::string::npos ? 0 : 1;
        std::vector<double> values;
        std::vector<std::size_t> lines;
        for (std::size_t r = 0; r < rows; ++r) {
            if (rng() % 4 == 0) text += (rng() % 2 ? "  # note" : "") + le, ++line;
            for (std::size_t c = 0; c < cols; ++c) {
                values.push_back((rng() % 2 ? -1 : 1) * std::pow(10.0, exponent(rng)) * (rng() % 1000) / 7);
                char buf[40];
                std::snprintf(buf, sizeof buf, "%.17g", values.back());
                text += (c > 0 ? separators[rng() % 7] : "") + std::string(buf);
            }
            text += le;
            lines.push_back(++line);
        }
        const DataTable t = parse(text);
        expectMatrix(t.values, rows, rows ? cols : 0, values);
        EXPECT_EQ(t.lines, lines);
    }
}

}  // namespace
}  // namespace orvane

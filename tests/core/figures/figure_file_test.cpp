#include "figures/figure_file.h"

#include "analysis/result_files.h"
#include "core/figures/figure_file_sample.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <matio.h>

#include <fstream>
#include <initializer_list>
#include <iterator>

namespace orvane {
namespace {

using test::sampleFigure;
using test::TempDir;
using Kind = ResultFileError::Kind;

std::string readBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The error readFigureFile throws for `path`; fails the test when it throws none.
ResultFileError readError(const std::filesystem::path& path)
{
    try {
        readFigureFile(path);
    } catch (const ResultFileError& e) {
        return e;
    }
    ADD_FAILURE() << path << " was read without complaint";
    return ResultFileError(Kind::Unreadable, "", "", "");
}

TEST(FigureFile, SampleRoundTripsExactly)
{
    TempDir dir;
    const Figure fig = sampleFigure();
    const auto path = dir.path() / "sample.fig";
    writeFigureFile(path, fig);
    const Figure back = readFigureFile(path);
    EXPECT_EQ(back.name, fig.name);
    EXPECT_EQ(back.axes.legend, fig.axes.legend);
    EXPECT_EQ(back.axes.texts, fig.axes.texts);
    EXPECT_EQ(back.axes.lines, fig.axes.lines);
    EXPECT_FALSE(back.axes.yLimits);
    EXPECT_FALSE(back.axes.lines[0].markerFace);
    EXPECT_TRUE(back.axes.lines[1].markerFace);
    EXPECT_EQ(back, fig);
}

TEST(FigureFile, DefaultAndEmptyFiguresRoundTrip)
{
    TempDir dir;
    Figure empty;  // no lines, polygons, texts, legend or limits
    Figure blanks;
    blanks.name = "";
    blanks.menuBar = "";
    blanks.axes.gridStyle = "";
    blanks.axes.yLimits = std::array<double, 2>{0, 0};
    blanks.axes.legend = {""};
    blanks.axes.texts.resize(1);
    for (const Figure& fig : {empty, blanks}) {
        writeFigureFile(dir.path() / "e.fig", fig);
        EXPECT_EQ(readFigureFile(dir.path() / "e.fig"), fig);
    }
}

TEST(FigureFile, LargeLinesRoundTrip)
{
    TempDir dir;
    Figure fig;
    for (int k = 0; k < 8; ++k) {
        Line l;
        l.x = test::ramp(1u << 17, 1.0, k);
        l.y = test::ramp(1u << 17, -2.0, k);
        fig.axes.lines.push_back(std::move(l));
    }
    writeFigureFile(dir.path() / "big.fig", fig);
    EXPECT_EQ(readFigureFile(dir.path() / "big.fig"), fig);
}

TEST(FigureFile, WriteFailuresLeaveTheOldFileAndNoLeftovers)
{
    TempDir dir;
    const auto path = dir.path() / "keep.fig";
    writeFigureFile(path, sampleFigure());
    const std::string before = readBytes(path);

    Figure uneven = sampleFigure();
    uneven.axes.polygons[0].y.pop_back();
    try {
        writeFigureFile(path, uneven);
        FAIL() << "a polygon with fewer y than x values was written";
    } catch (const ResultFileError& e) {
        EXPECT_NE(std::string(e.what()).find("keep.fig"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("3 y values"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    EXPECT_THROW(writeFigureFile(dir.path() / "no such folder" / "a.fig", sampleFigure()), ResultFileError);
}

TEST(FigureFile, NonFigureFilesAreRefusedByName)
{
    TempDir dir;
    const auto text = dir.write("text.fig", "this is not a MAT-file at all, just some text long enough\n");
    const ResultFileError notMat = readError(text);
    EXPECT_EQ(notMat.kind(), Kind::NotMatFile);
    EXPECT_EQ(notMat.path(), text);

    EXPECT_EQ(readError(dir.path() / "absent.fig").kind(), Kind::Unreadable);

    const auto path = dir.path() / "full.fig";
    writeFigureFile(path, sampleFigure());
    const std::string bytes = readBytes(path);
    for (std::size_t keep : {bytes.size() - 9, bytes.size() / 2, std::size_t{200}}) {
        const auto cut = dir.write("cut.fig", bytes.substr(0, keep));
        const ResultFileError e = readError(cut);
        EXPECT_EQ(e.kind(), Kind::Damaged) << keep << ": " << e.what();
        EXPECT_NE(std::string(e.what()).find("cut.fig"), std::string::npos);
    }
}

// ---- files written with matio directly -------------------------------------------------

struct VarFree {
    void operator()(matvar_t* v) const { Mat_VarFree(v); }
};
using VarPtr = std::unique_ptr<matvar_t, VarFree>;

matvar_t* doubles(const char* name, std::size_t rows, std::size_t cols, std::vector<double> values = {})
{
    values.resize(rows * cols, 0.0);
    std::size_t dims[2] = {rows, cols};
    return Mat_VarCreate(name, MAT_C_DOUBLE, MAT_T_DOUBLE, 2, dims, values.data(), 0);
}

matvar_t* chars(const char* name, const std::string& s)
{
    std::size_t dims[2] = {1, s.size()};
    return Mat_VarCreate(name, MAT_C_CHAR, MAT_T_UTF8, 2, dims, const_cast<char*>(s.data()), 0);
}

void writeMat(const std::filesystem::path& path, std::initializer_list<matvar_t*> vars)
{
    mat_t* mat = Mat_CreateVer(path.c_str(), nullptr, MAT_FT_MAT5);
    ASSERT_NE(mat, nullptr);
    for (matvar_t* v : vars) {
        EXPECT_EQ(Mat_VarWrite(mat, v, MAT_COMPRESSION_NONE), 0);
        Mat_VarFree(v);
    }
    Mat_Close(mat);
}

// The sample figure as written, with the field at `route` (through element 1 of every
// struct on the way) replaced by `value`, saved as `path`.
void writeAltered(const std::filesystem::path& path, std::initializer_list<const char*> route, matvar_t* value)
{
    const auto good = path.parent_path() / "good.fig";
    writeFigureFile(good, sampleFigure());
    mat_t* in = Mat_Open(good.c_str(), MAT_ACC_RDONLY);
    ASSERT_NE(in, nullptr);
    VarPtr figure(Mat_VarRead(in, "figure"));
    Mat_Close(in);
    ASSERT_TRUE(figure);
    matvar_t* s = figure.get();
    const char* last = nullptr;
    for (const char* name : route) {
        if (last) s = Mat_VarGetStructFieldByName(s, last, 0);
        ASSERT_NE(s, nullptr) << last;
        last = name;
    }
    Mat_VarFree(Mat_VarSetStructFieldByName(s, last, 0, value));
    writeMat(path, {figure.release()});
}

TEST(FigureFile, MissingOrForeignVariablesAreRefused)
{
    TempDir dir;
    const auto other = dir.path() / "other.fig";
    writeMat(other, {doubles("data", 2, 2)});
    ResultFileError e = readError(other);
    EXPECT_EQ(e.kind(), Kind::Missing);
    EXPECT_EQ(e.variable(), "figure");
    EXPECT_NE(std::string(e.what()).find("other.fig"), std::string::npos);

    const auto number = dir.path() / "number.fig";
    writeMat(number, {doubles("figure", 1, 1)});
    e = readError(number);
    EXPECT_EQ(e.kind(), Kind::WrongClass) << e.what();
    EXPECT_EQ(e.variable(), "figure");

    const auto foreign = dir.path() / "foreign.fig";
    writeAltered(foreign, {"format"}, chars(nullptr, "something-else-2"));
    e = readError(foreign);
    EXPECT_EQ(e.kind(), Kind::WrongValue) << e.what();
    EXPECT_EQ(e.variable(), "figure.format");
}

TEST(FigureFile, FaultyFieldsAreNamed)
{
    struct Case {
        std::initializer_list<const char*> route;
        matvar_t* value;
        Kind kind;
        std::string variable;
    };
    const char* const unrelated[] = {"other", nullptr};
    std::size_t one[2] = {1, 1};
    const Case cases[] = {
        {{"axes", "xlim"}, doubles(nullptr, 1, 3), Kind::WrongShape, "figure.axes.xlim"},
        {{"axes", "xgrid"}, doubles(nullptr, 1, 1, {2}), Kind::WrongValue, "figure.axes.xgrid"},
        {{"axes", "title"}, doubles(nullptr, 1, 1), Kind::WrongClass, "figure.axes.title"},
        {{"axes", "legend"}, chars(nullptr, "Data 1"), Kind::WrongClass, "figure.axes.legend"},
        {{"axes", "lines", "x"}, doubles(nullptr, 6, 2), Kind::WrongShape, "figure.axes.lines(1).x"},
        {{"axes", "lines", "x"}, doubles(nullptr, 36, 1), Kind::WrongShape, "figure.axes.lines(1)"},
        {{"axes", "lines", "markerface"}, doubles(nullptr, 1, 2), Kind::WrongShape, "figure.axes.lines(1).markerface"},
        {{"axes", "texts", "position"}, doubles(nullptr, 1, 1), Kind::WrongShape, "figure.axes.texts(1).position"},
        {{"axes", "polygons"}, doubles(nullptr, 0, 0), Kind::WrongClass, "figure.axes.polygons"},
        {{"axes"}, Mat_VarCreateStruct2(nullptr, 2, one, unrelated), Kind::WrongShape, "figure.axes"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const auto path = dir.path() / "bad.fig";
        writeAltered(path, c.route, c.value);
        const ResultFileError e = readError(path);
        EXPECT_EQ(e.kind(), c.kind) << e.what();
        EXPECT_EQ(e.variable(), c.variable) << e.what();
        EXPECT_EQ(e.path(), path.string());
    }
}

}  // namespace
}  // namespace orvane

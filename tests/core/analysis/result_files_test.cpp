#include "analysis/result_files.h"
#include "support/recording.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <matio.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;
using Kind = ResultFileError::Kind;

const AnalysisResult& smallAnalysis()
{
    static const AnalysisResult r = [] {
        SetList Md, Mf;
        const double steps[] = {1.0, 2.5, 0.5};
        for (int s = 0; s < 3; ++s) {
            Vec x, y;
            for (double v = 0; v <= 64; v += steps[s]) {
                x.push_back(v);
                y.push_back(std::sin(v / 9.0 + s) * 10 + std::cos(v / 2.0) * (s + 1) + 0.01 * v);
            }
            Mf.push_back(x);
            Md.push_back(y);
        }
        test::ScriptedDialogs dialogs;
        DialogsHost host(dialogs);
        auto result = runAnalysis(AnalysisSettings{}, Md, Mf, host);
        EXPECT_TRUE(result);
        return std::move(*result);
    }();
    return r;
}

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The variable names of a MAT-file in file order, as matio lists them.
std::vector<std::string> namesInFile(const fs::path& p)
{
    std::vector<std::string> names;
    mat_t* mat = Mat_Open(p.c_str(), MAT_ACC_RDONLY);
    if (!mat) return names;
    while (matvar_t* v = Mat_VarReadNextInfo(mat)) {
        names.push_back(v->name);
        Mat_VarFree(v);
    }
    Mat_Close(mat);
    return names;
}

std::vector<std::string> folderEntries(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

template <class A, class B>
bool sameBits(const A& a, const B& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}
template <class L>
bool sameLists(const L& a, const L& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (!sameBits(a[k], b[k])) return false;
    return true;
}
bool sameRecords(const GradeList& a, const GradeList& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::memcmp(&a[k].value, &b[k].value, sizeof(double)) != 0 || a[k].range != b[k].range) return false;
    return true;
}

const std::vector<std::string> kAnalysisOrder = {
    "D", "Grade_ADM", "parameters_means", "parameters_median", "Spread_ADM", "Grade_FDM", "Spread_FDM", "Grade_GDM",
    "Spread_GDM", "ParametersA", "ParametersF", "ParametersG", "Mfreq", "Mdata", "FFTnewdata",
    "TotalFFT", "breakpoint", "LowData", "HighData", "ADMi", "ADMc", "ADMtot", "ADM_oldi", "FDMi", "FDMc", "FDMtot",
    "GDMi", "GDMc", "GDMtot", "Alpha_ADM",
    "DC_data", "N_DATA", "S_MARKER", "Kadm", "Kfdm"};

// ---- round trip -------------------------------------------------------------------------

TEST(ResultFiles, AnalysisFileReadsBackBitForBit)
{
    const AnalysisResult& r = smallAnalysis();
    ASSERT_EQ(r.N_DATA, 3u);
    test::TempDir dir;
    const fs::path file = writeAnalysisFile(dir.path(), analysisFileName(2), r, 0, "rbgycmbkk");
    EXPECT_EQ(file, dir.path() / "PhaseAnalysis.mat");
    EXPECT_EQ(namesInFile(file), kAnalysisOrder);  // the three passes, in order
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"PhaseAnalysis.mat"});

    const LoadedAnalysis l = loadAnalysisFile(file);
    const AnalysisResult& b = l.result;
    EXPECT_EQ(l.D, 0);
    EXPECT_EQ(l.S_MARKER, "rbgycmbkk");
    EXPECT_EQ(b.N_DATA, r.N_DATA);
    EXPECT_TRUE(sameBits(b.abscissa, r.abscissa));
    EXPECT_TRUE(sameLists(b.resampled, r.resampled));
    EXPECT_TRUE(sameLists(b.spectra, r.spectra));
    EXPECT_TRUE(sameBits(b.spectrumTotals, r.spectrumTotals));
    EXPECT_TRUE(sameBits(b.breakpoint, r.breakpoint));
    EXPECT_TRUE(sameLists(b.LowData, r.LowData));
    EXPECT_TRUE(sameLists(b.HighData, r.HighData));
    EXPECT_TRUE(sameLists(b.DC_data, r.DC_data));
    EXPECT_TRUE(sameBits(b.adm.Alpha_ADM, r.adm.Alpha_ADM));
    EXPECT_TRUE(sameLists(b.adm.ADMi, r.adm.ADMi));
    EXPECT_TRUE(sameLists(b.adm.ADMc, r.adm.ADMc));
    EXPECT_TRUE(sameBits(b.adm.ADMtot, r.adm.ADMtot));
    EXPECT_TRUE(sameLists(b.adm.ADM_oldi, r.adm.ADM_oldi));
    EXPECT_TRUE(sameLists(b.fdm.FDMi, r.fdm.FDMi));
    EXPECT_TRUE(sameLists(b.fdm.FDMc, r.fdm.FDMc));
    EXPECT_TRUE(sameBits(b.fdm.FDMtot, r.fdm.FDMtot));
    EXPECT_TRUE(sameLists(b.gdm.GDMi, r.gdm.GDMi));
    EXPECT_TRUE(sameLists(b.gdm.GDMc, r.gdm.GDMc));
    EXPECT_TRUE(sameBits(b.gdm.GDMtot, r.gdm.GDMtot));
    for (auto [x, y] : {std::pair{&b.ADM, &r.ADM}, {&b.FDM, &r.FDM}, {&b.GDM, &r.GDM}}) {
        EXPECT_TRUE(sameRecords(x->Grade, y->Grade));
        EXPECT_TRUE(sameRecords(x->Spread, y->Spread));
    }
    EXPECT_TRUE(sameBits(b.Kadm, r.Kadm));
    EXPECT_TRUE(sameBits(b.Kfdm, r.Kfdm));
    EXPECT_TRUE(sameLists(b.ParametersA, r.ParametersA));
    EXPECT_TRUE(sameLists(b.ParametersF, r.ParametersF));
    EXPECT_TRUE(sameLists(b.ParametersG, r.ParametersG));
    EXPECT_TRUE(sameLists(b.parameters_means, r.parameters_means));
    EXPECT_TRUE(sameLists(b.parameters_median, r.parameters_median));
}

// A chosen reference adds one variable after the others; a file without it (every file of
// an average analysis, and every older one) reads as the average; a set that is not one of
// the file's is refused.
TEST(ResultFiles, ReferenceIsStoredOnlyWhenChosen)
{
    AnalysisResult r = smallAnalysis();
    test::TempDir dir;
    EXPECT_EQ(loadAnalysisFile(writeAnalysisFile(dir.path(), "average.mat", r, 0, "rbgycmbkk")).result.reference, 0u);

    r.reference = 2;
    const fs::path chosen = writeAnalysisFile(dir.path(), "chosen.mat", r, 0, "rbgycmbkk");
    std::vector<std::string> names = kAnalysisOrder;
    names.push_back("Reference");
    EXPECT_EQ(namesInFile(chosen), names);
    EXPECT_EQ(loadAnalysisFile(chosen).result.reference, 2u);

    r.reference = r.N_DATA + 1;
    const fs::path wrong = writeAnalysisFile(dir.path(), "wrong.mat", r, 0, "rbgycmbkk");
    EXPECT_THROW(loadAnalysisFile(wrong), ResultFileError);
}

TEST(ResultFiles, ListsAreRowsOfCellsAndRecordsAreStructs)
{
    const AnalysisResult& r = smallAnalysis();
    test::TempDir dir;
    const fs::path file = writeAnalysisFile(dir.path(), kMagnitudeAnalysisFile, r, 1, "rbgycmbkk");
    mat_t* mat = Mat_Open(file.c_str(), MAT_ACC_RDONLY);
    ASSERT_TRUE(mat);
    const std::size_t L = r.abscissa.size();
    for (const std::string& name : kAnalysisOrder) {
        matvar_t* v = Mat_VarRead(mat, name.c_str());
        ASSERT_TRUE(v) << name;
        ASSERT_EQ(v->rank, 2);
        if (name == "S_MARKER") {
            EXPECT_EQ(v->class_type, MAT_C_CHAR);
            EXPECT_EQ(v->dims[0], 1u);
        } else if (name == "D" || name == "N_DATA") {
            EXPECT_EQ(v->class_type, MAT_C_DOUBLE);
            EXPECT_EQ(v->dims[0] * v->dims[1], 1u);
        } else if (name == "Mfreq") {
            EXPECT_EQ(v->dims[0], L);
            EXPECT_EQ(v->dims[1], 1u);
        } else if (name == "breakpoint") {
            EXPECT_EQ(v->class_type, MAT_C_DOUBLE);
            EXPECT_EQ(v->dims[0], 1u);
            EXPECT_EQ(v->dims[1], r.N_DATA + 1);
        } else {
            EXPECT_EQ(v->class_type, MAT_C_CELL) << name;
            EXPECT_EQ(v->dims[0], 1u) << name;
            EXPECT_EQ(v->dims[1], r.N_DATA + 1) << name;
            matvar_t* first = Mat_VarGetCell(v, 0);
            ASSERT_TRUE(first) << name;
            EXPECT_EQ(first->dims[1], 1u) << name << ": entries are columns";
            if (name.rfind("Grade_", 0) == 0 || name.rfind("Spread_", 0) == 0) {
                ASSERT_EQ(first->class_type, MAT_C_STRUCT) << name;
                ASSERT_EQ(Mat_VarGetNumberOfFields(first), 2u);
                EXPECT_STREQ(Mat_VarGetStructFieldnames(first)[0], "value");
                EXPECT_STREQ(Mat_VarGetStructFieldnames(first)[1], "range");
            }
            if (name == "FFTnewdata") {
                EXPECT_TRUE(first->isComplex);
            }
            if (name == "Mdata" || name == "GDMi") {
                EXPECT_EQ(first->dims[0], L);
            }
            if (name == "ADMc") {
                EXPECT_EQ(first->dims[0], 6u);
            }
            if (name == "ParametersG") {
                EXPECT_EQ(first->dims[0], 3u);
            }
        }
        Mat_VarFree(v);
    }
    Mat_Close(mat);
}

TEST(ResultFiles, GradeSpreadWithAndWithoutWeights)
{
    const AnalysisResult& r = smallAnalysis();
    test::TempDir dir;
    const fs::path file = writeGradeSpreadFile(dir.path(), 1, r.N_DATA, "rbg", r.ADM, r.FDM, r.GDM, &r.Kadm, &r.Kfdm);
    EXPECT_EQ(namesInFile(file).size(), 11u);
    LoadedGradeSpread g = loadGradeSpreadFile(file);
    EXPECT_EQ(g.D, 1);
    EXPECT_EQ(g.N_DATA, r.N_DATA);
    EXPECT_EQ(g.S_MARKER, "rbg");
    EXPECT_TRUE(sameRecords(g.GDM.Spread, r.GDM.Spread));
    ASSERT_TRUE(g.Kadm && g.Kfdm);
    EXPECT_TRUE(sameBits(*g.Kfdm, r.Kfdm));

    // The chart window's rewrite without weights replaces the whole file.
    writeGradeSpreadFile(dir.path(), 1, r.N_DATA, "rbg", r.ADM, r.FDM, r.GDM);
    EXPECT_EQ(namesInFile(file),
              (std::vector<std::string>{"D", "N_DATA", "S_MARKER", "Grade_ADM", "Spread_ADM", "Grade_FDM",
                                        "Spread_FDM", "Grade_GDM", "Spread_GDM"}));
    g = loadGradeSpreadFile(file);
    EXPECT_FALSE(g.Kadm || g.Kfdm);
    EXPECT_TRUE(sameRecords(g.ADM.Grade, r.ADM.Grade));
    EXPECT_TRUE(sameRecords(g.FDM.Spread, r.FDM.Spread));
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"GRADE_SPREAD.mat"});
}

TEST(ResultFiles, WriterRejectsListsOfTheWrongLength)
{
    AnalysisResult r = smallAnalysis();
    r.adm.ADMc.pop_back();
    test::TempDir dir;
    try {
        writeAnalysisFile(dir.path(), kMagnitudeAnalysisFile, r, 1, "rbgycmbkk");
        FAIL() << "no error";
    } catch (const ResultFileError& e) {
        EXPECT_EQ(e.variable(), "ADMc");
        EXPECT_EQ(e.kind(), Kind::WriteFailed);
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// ---- hand-made files --------------------------------------------------------------------

// Level 5 elements built byte by byte, for files no writer would make.
namespace mat5 {
std::string u32(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string element(std::uint32_t type, const std::string& data)
{
    const std::string padding((8 - data.size() % 8) % 8, '\0');
    return u32(type) + u32(static_cast<std::uint32_t>(data.size())) + data + padding;
}
std::string array(std::uint32_t cls, std::vector<std::int32_t> dims, const std::string& name, const std::string& body,
                  std::uint32_t flags = 0)
{
    std::string d;
    for (std::int32_t x : dims) d += u32(static_cast<std::uint32_t>(x));
    const std::string content = element(6, u32(cls | flags) + u32(0)) + element(5, d) + element(1, name) + body;
    return u32(14) + u32(static_cast<std::uint32_t>(content.size())) + content;
}
std::string doubles(std::vector<double> v)
{
    return element(9, std::string(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(double)));
}
std::string number(const std::string& name, double v) { return array(6, {1, 1}, name, doubles({v})); }
std::string text(const std::string& name, const std::string& s)
{
    return array(4, {1, static_cast<std::int32_t>(s.size())}, name, element(16, s));
}
std::string fields(std::vector<std::string> names)
{
    std::string all;
    for (auto n : names) all += n + std::string(32 - n.size(), '\0');
    return u32(5 | 4 << 16) + u32(32) + element(1, all);  // the length in the small element format
}
std::string compressed(const std::string& element)
{
    uLongf size = compressBound(element.size());
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(element.data()),
             element.size());
    out.resize(size);
    return u32(15) + u32(static_cast<std::uint32_t>(size)) + out;
}
std::string file(const std::string& body)
{
    std::string header = "Level-5 MAT-file, hand-made";
    header.resize(124, ' ');
    return header + std::string("\x00\x01IM", 4) + body;
}
}  // namespace mat5

// The message names the file and the variable.
void expectError(const std::function<void()>& read, Kind kind, const std::string& path, const std::string& variable)
{
    try {
        read();
        ADD_FAILURE() << "no error for " << variable;
    } catch (const ResultFileError& e) {
        EXPECT_EQ(e.kind(), kind) << e.what();
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(e.variable(), variable);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(variable), std::string::npos) << e.what();
    }
}

// A failed write names the file; the variable, if any, is the one being written.
void expectWriteError(const std::function<void()>& write, const fs::path& file)
{
    try {
        write();
        ADD_FAILURE() << "no error writing " << file;
    } catch (const ResultFileError& e) {
        EXPECT_EQ(e.kind(), Kind::WriteFailed) << e.what();
        EXPECT_EQ(e.path(), file.string());
        EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
    }
}

TEST(ResultFileReader, WrongClassWrongShapeAndMissing)
{
    using namespace mat5;
    const std::string three = array(6, {3, 1}, "", doubles({1, 2, 3}));
    const std::string record = array(2, {1, 1}, "", fields({"value", "range"}) + number("", 2) + text("", "G-F"));
    const std::string noRange = array(2, {1, 1}, "", fields({"value"}) + number("", 2));
    test::TempDir dir;
    const std::string path = dir.write(
        "hand.mat",
        file(number("N_DATA", 2) + number("D", 3) + text("S_MARKER", "rb") +
             array(6, {2, 2}, "Mfreq", doubles({1, 2, 3, 4})) +
             array(1, {1, 3}, "Mdata", three + three + three) + array(1, {3, 1}, "Mcol", three + three + three) +
             array(6, {1, 3}, "Plain", doubles({1, 2, 3})) + array(1, {1, 2}, "Grade_ADM", record + record) +
             array(1, {1, 1}, "NoRange", noRange) + array(1, {2, 2}, "Square", three + three + three + three) +
             array(4, {2, 1}, "TwoLines", element(16, "ab")) + array(1, {1, 1}, "HasText", text("", "x"))));
    const ResultFile f(path);

    // What is well made reads, in either orientation.
    EXPECT_EQ(f.dataSets(), 2u);
    EXPECT_EQ(f.text("S_MARKER"), "rb");
    EXPECT_EQ(f.columns("Mdata", 3, 3)[2], (Vec{1, 2, 3}));
    EXPECT_EQ(f.columns("Mcol", 3).size(), 3u);
    EXPECT_EQ(f.records("Grade_ADM", 2)[1].range, "G-F");
    EXPECT_EQ(f.row("Plain"), (Vec{1, 2, 3}));
    EXPECT_EQ(f.triples("Mdata")[0], (Triple{1, 2, 3}));
    EXPECT_TRUE(f.has("Plain"));
    EXPECT_FALSE(f.has("Kadm"));

    expectError([&] { f.scalar("Kadm"); }, Kind::Missing, path, "Kadm");
    expectError([&] { f.columns("Plain"); }, Kind::WrongClass, path, "Plain");
    expectError([&] { f.text("N_DATA"); }, Kind::WrongClass, path, "N_DATA");
    expectError([&] { f.scalar("S_MARKER"); }, Kind::WrongClass, path, "S_MARKER");
    expectError([&] { f.records("Mdata"); }, Kind::WrongClass, path, "Mdata");
    expectError([&] { f.spectra("HasText"); }, Kind::WrongClass, path, "HasText");
    expectError([&] { f.column("Mfreq"); }, Kind::WrongShape, path, "Mfreq");
    expectError([&] { f.scalar("Plain"); }, Kind::WrongShape, path, "Plain");
    expectError([&] { f.columns("Mdata", 4); }, Kind::WrongShape, path, "Mdata");
    expectError([&] { f.columns("Mdata", 3, 4); }, Kind::WrongShape, path, "Mdata");
    expectError([&] { f.histograms("Mdata"); }, Kind::WrongShape, path, "Mdata");
    expectError([&] { f.columns("Square"); }, Kind::WrongShape, path, "Square");
    expectError([&] { f.records("NoRange"); }, Kind::WrongShape, path, "NoRange");
    expectError([&] { f.text("TwoLines"); }, Kind::WrongShape, path, "TwoLines");
    expectError([&] { f.domain(); }, Kind::WrongValue, path, "D");
}

TEST(ResultFileReader, HostileSizesAreRefusedBeforeMatioAllocates)
{
    using namespace mat5;
    const std::string one = array(6, {1, 1}, "", doubles({1}));
    test::TempDir dir;
    const std::string path = dir.write(
        "hostile.mat",
        file(number("First", 1) +
             array(1, {1, 1 << 28}, "HugeCell", one + one) +                       // claims 2^28 cells
             array(6, {1 << 20, 1 << 10}, "HugeArray", doubles({1, 2})) +           // claims 8 GB of values
             array(1, {1, 1}, "BadStruct", array(2, {5, 1}, "", fields({"value", "range"}) + one + one)) +
             compressed(array(1, {1 << 30, 4}, "Packed", one)) +
             number("Last", 2)));
    const ResultFile f(path);
    expectError([&] { f.columns("HugeCell"); }, Kind::Damaged, path, "HugeCell");
    expectError([&] { f.column("HugeArray"); }, Kind::Damaged, path, "HugeArray");
    expectError([&] { f.records("BadStruct"); }, Kind::Damaged, path, "BadStruct");
    expectError([&] { f.columns("Packed"); }, Kind::Damaged, path, "Packed");
    // matio reads through every variable before the one asked for: only those before
    // the damage can be read.
    EXPECT_EQ(f.scalar("First"), 1);
    expectError([&] { f.scalar("Last"); }, Kind::Damaged, path, "Last");
}

TEST(ResultFileReader, NotAMatFile)
{
    test::TempDir dir;
    const auto kindOf = [](const std::string& path) {
        try {
            ResultFile f(path);
        } catch (const ResultFileError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
            return e.kind();
        }
        return Kind::WriteFailed;  // opened: not expected
    };
    EXPECT_EQ(kindOf(dir.write("text.mat", "1 2 3\n4 5 6\n")), Kind::NotMatFile);
    EXPECT_EQ(kindOf(dir.write("empty.mat", "")), Kind::NotMatFile);
    std::string v73 = mat5::file("");
    v73[124] = 0;
    v73[125] = 2;
    EXPECT_EQ(kindOf(dir.write("v73.mat", v73)), Kind::NotMatFile);
    EXPECT_EQ(kindOf((dir.path() / "absent.mat").string()), Kind::Unreadable);
    EXPECT_EQ(kindOf(dir.path().string()), Kind::Unreadable);
}

// Every getter over every variable of a damaged file: values or a ResultFileError.
void readEverything(const std::string& path)
{
    try {
        const ResultFile f(path);
        const std::vector<std::function<void(const std::string&)>> getters = {
            [&](auto& n) { f.scalar(n); },     [&](auto& n) { f.text(n); },       [&](auto& n) { f.column(n); },
            [&](auto& n) { f.columns(n, 4); }, [&](auto& n) { f.spectra(n, 4); }, [&](auto& n) { f.scalars(n, 4); },
            [&](auto& n) { f.histograms(n); }, [&](auto& n) { f.triples(n); },    [&](auto& n) { f.records(n, 4); }};
        for (const std::string& name : kAnalysisOrder)
            for (const auto& get : getters) {
                try {
                    get(name);
                } catch (const ResultFileError& e) {
                    EXPECT_EQ(e.variable(), name) << e.what();
                    EXPECT_EQ(e.path(), path);
                }
            }
    } catch (const ResultFileError& e) {
        EXPECT_TRUE(e.variable().empty()) << e.what();
    }
}

TEST(ResultFileReader, TruncatedFiles)
{
    test::TempDir dir;
    const std::string whole = readAll(writeAnalysisFile(dir.path(), "a.mat", smallAnalysis(), 1, "rbgycmbkk"));
    for (std::size_t cut = 0; cut < whole.size(); cut += cut < 1024 ? 37 : 997) {
        const std::string path = dir.write("cut.mat", whole.substr(0, cut));
        readEverything(path);
        if (cut < 128) continue;
        const ResultFile f(path);
        if (cut >= 256) {
            EXPECT_EQ(f.scalar("D"), 1);  // the first variable is whole
        }
        expectError([&] { f.scalars("Kfdm", 4); }, Kind::Damaged, path, "Kfdm");  // the last variable
    }
}

TEST(ResultFileReader, FlippedBytes)
{
    test::TempDir dir;
    const AnalysisResult& r = smallAnalysis();
    const std::string analysis = readAll(writeAnalysisFile(dir.path(), "a.mat", r, 1, "rbgycmbkk"));
    const std::string grades =
        readAll(writeGradeSpreadFile(dir.path(), 1, r.N_DATA, "rbgy", r.ADM, r.FDM, r.GDM, &r.Kadm, &r.Kfdm));
    std::minstd_rand random(12345);
    for (const std::string* whole : {&analysis, &grades})
        for (int trial = 0; trial < 60; ++trial) {
            std::string bad = *whole;
            // Mostly in the headers and tags, where a flip changes the structure.
            const std::size_t span = trial % 2 ? bad.size() : std::min<std::size_t>(bad.size(), 2048);
            for (int flips = 1 + trial % 4; flips > 0; --flips)
                bad[128 + random() % (span - 128)] ^= static_cast<char>(1 << (random() % 8));
            readEverything(dir.write("flipped.mat", bad));
        }
}

// ---- atomic writing ---------------------------------------------------------------------

TEST(ResultFileWriting, FolderInTheWayOrMissing)
{
    test::TempDir dir;
    fs::create_directory(dir.path() / "GRADE_SPREAD.mat");
    const AnalysisResult& r = smallAnalysis();
    expectWriteError([&] { writeGradeSpreadFile(dir.path(), 1, r.N_DATA, "rbgy", r.ADM, r.FDM, r.GDM); },
                     dir.path() / "GRADE_SPREAD.mat");
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"GRADE_SPREAD.mat"});
    EXPECT_TRUE(fs::is_empty(dir.path() / "GRADE_SPREAD.mat"));
    const fs::path missing = dir.path() / "no such folder";
    expectWriteError([&] { writeAnalysisFile(missing, kMagnitudeAnalysisFile, r, 1, "rbgycmbkk"); },
                     missing / kMagnitudeAnalysisFile);
}

TEST(ResultFileWriting, ReadOnlyFolderKeepsTheOldFile)
{
    test::TempDir dir;
    const AnalysisResult& r = smallAnalysis();
    const fs::path file = writeGradeSpreadFile(dir.path(), 1, r.N_DATA, "rbgy", r.ADM, r.FDM, r.GDM);
    const std::string before = readAll(file);
    const auto rewrite = [&] {
        writeGradeSpreadFile(dir.path(), 0, r.N_DATA, "rbgy", r.ADM, r.FDM, r.GDM, &r.Kadm, &r.Kfdm);
    };
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    if (::geteuid() == 0) {
        // Permissions do not bind root: the rewrite is tried by a child running as nobody.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
            try {
                rewrite();
            } catch (const ResultFileError& e) {
                ::_exit(e.kind() == Kind::WriteFailed && e.path() == file.string() ? 0 : 2);
            } catch (...) {
                ::_exit(4);
            }
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: written anyway, 2: wrong error, 3: cannot drop privileges";
    } else {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        expectWriteError(rewrite, file);
        fs::permissions(dir.path(), fs::perms::owner_all);
    }
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"GRADE_SPREAD.mat"});
}

TEST(ResultFileWriting, FailedRewriteKeepsTheOldFile)
{
    test::TempDir dir;
    const AnalysisResult& r = smallAnalysis();
    const fs::path file = writeAnalysisFile(dir.path(), kMagnitudeAnalysisFile, r, 1, "rbgycmbkk");
    const std::string before = readAll(file);
    ASSERT_GT(before.size(), 20000u);
    AnalysisResult other = r;
    other.Kadm.assign(other.Kadm.size(), 0.5);
    for (rlim_t limit : {rlim_t{200}, rlim_t{4096}, rlim_t{before.size() - 100}}) {
        test::FileSizeLimit full(limit);
        expectWriteError([&] { writeAnalysisFile(dir.path(), kMagnitudeAnalysisFile, other, 1, "rbgycmbkk"); },
                         file);
    }
    EXPECT_EQ(readAll(file), before);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{kMagnitudeAnalysisFile});
}

}  // namespace
}  // namespace orvane

// Helper for the tests that check the result files against other readers and writers.
//
//   result_files_tool write <folder>
//       Computes a small analysis, writes MagnitudeAnalysis.mat, GRADE_SPREAD.mat (with
//       the weights) and nine/GRADE_SPREAD.mat (without), and dump.json with every value.
//   result_files_tool load <file.mat> <dump.json>
//       Reads an analysis file through loadAnalysisFile and writes the same JSON dump.
//   result_files_tool seeds <folder>
//       Writes small result files (N_DATA = 2) and damaged copies of them: the seed corpus
//       of the MAT-file fuzzer.
//   result_files_tool octave <script.m> <folder>
//       Runs the Octave script, which saves v6/ and v7/CombinedAnalysis.mat and
//       expected.txt, then reads both files through ResultFile and compares every value.
//
// Exit status 0 pass, 1 fail, 77 when Octave is not installed.
#include "analysis/analysis_file_layout.h"
#include "analysis/result_files.h"
#include "support/recording.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <algorithm>
#include <type_traits>
#include <variant>
#include <sys/wait.h>

namespace {

using namespace orvane;
namespace fs = std::filesystem;

constexpr int kSkip = 77;

// Sets over [0, span]; the finest step 0.5 gives 2·span + 1 grid points.
AnalysisResult smallAnalysis(int sets = 3, double span = 64)
{
    SetList Md, Mf;
    const double steps[] = {1.0, 2.5, 0.5};
    for (int s = 0; s < sets; ++s) {
        Vec x, y;
        for (double v = 0; v <= span; v += steps[s]) {
            x.push_back(v);
            y.push_back(std::sin(v / 9.0 + s) * 10 + std::cos(v / 2.0) * (s + 1) + 0.01 * v);
        }
        Mf.push_back(x);
        Md.push_back(y);
    }
    test::ScriptedDialogs dialogs;  // weighting: the default "YES"
    DialogsHost host(dialogs);
    auto r = runAnalysis(AnalysisSettings{}, Md, Mf, host);
    if (!r) throw std::runtime_error("no analysis");
    return std::move(*r);
}

// ---- JSON dump --------------------------------------------------------------------------

std::string num(double v)
{
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

template <class Seq>
std::string array(const Seq& s)
{
    std::string out = "[";
    for (std::size_t i = 0; i < s.size(); ++i) out += (i ? "," : "") + num(s[i]);
    return out + "]";
}

template <class List>
std::string arrays(const List& l)
{
    std::string out = "[";
    for (std::size_t k = 0; k < l.size(); ++k) out += (k ? "," : "") + array(l[k]);
    return out + "]";
}

std::string spectra(const SpectrumList& l)
{
    std::string out = "[";
    for (std::size_t k = 0; k < l.size(); ++k) {
        out += k ? ",[" : "[";
        for (std::size_t i = 0; i < l[k].size(); ++i)
            out += (i ? ",[" : "[") + num(l[k][i].real()) + "," + num(l[k][i].imag()) + "]";
        out += "]";
    }
    return out + "]";
}

std::string records(const GradeList& g)
{
    std::string out = "[";
    for (std::size_t k = 0; k < g.size(); ++k)
        out += (k ? "," : "") + std::string("{\"value\":") + num(g[k].value) + ",\"range\":\"" + g[k].range + "\"}";
    return out + "]";
}

// Every variable of the layout, grouped by kind as the SciPy check reads them.
bool dumpJson(const fs::path& file, int D, const std::string& marker, const AnalysisResult& r)
{
    using K = AnalysisVariableKind;
    const AnalysisFileSource source{D, marker, r};
    std::map<std::string, std::string> groups;  // group name -> "\"name\":value,…"
    std::string top;
    for (const AnalysisVariable& v : kAnalysisVariables) {
        if (omittedFromFile(v, source)) continue;
        std::string value, group;
        std::visit(
            [&](const auto& field) {
                const auto& x = field.get(source);
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, int> || std::is_same_v<T, std::size_t>)
                    value = std::to_string(x);
                else if constexpr (std::is_same_v<T, std::string>)
                    value = "\"" + x + "\"";
                else if constexpr (std::is_same_v<T, Vec>)
                    value = array(x), group = v.kind == K::Scalars ? "scalars" : "";
                else if constexpr (std::is_same_v<T, SpectrumList>)
                    value = spectra(x);
                else if constexpr (std::is_same_v<T, GradeList>)
                    value = records(x), group = "records";
                else {
                    value = arrays(x);
                    group = v.kind == K::Columns ? "columns" : v.kind == K::Histograms ? "histograms" : "triples";
                }
            },
            v.field);
        std::string& into = group.empty() ? top : groups[group];
        into += (into.empty() ? "" : ",\n") + std::string("\"") + v.name + "\":" + value;
    }
    std::ofstream out(file);
    out << "{" << top;
    for (const auto& [group, members] : groups) out << ",\n\"" << group << "\":{" << members << "}";
    out << "}\n";
    return static_cast<bool>(out);
}

int write(const fs::path& folder)
{
    const AnalysisResult r = smallAnalysis();
    const std::string marker = "rbgycmbkk";
    writeAnalysisFile(folder, analysisFileName(1), r, 1, marker);
    writeGradeSpreadFile(folder, 1, r.N_DATA, marker, r.ADM, r.FDM, r.GDM, &r.Kadm, &r.Kfdm);
    fs::create_directories(folder / "nine");
    writeGradeSpreadFile(folder / "nine", 1, r.N_DATA, marker, r.ADM, r.FDM, r.GDM);
    return dumpJson(folder / "dump.json", 1, marker, r) ? 0 : 1;
}

// What our loader reads from an analysis file, as the same JSON dump.
int load(const fs::path& file, const fs::path& json)
{
    const LoadedAnalysis a = loadAnalysisFile(file);
    return dumpJson(json, a.D, a.S_MARKER, a.result) ? 0 : 1;
}

// ---- fuzzer seeds ------------------------------------------------------------------------

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

int seeds(const fs::path& folder)
{
    const AnalysisResult r = smallAnalysis(2, 20);
    fs::create_directories(folder / "nine");
    const fs::path analysis = writeAnalysisFile(folder, "analysis.mat", r, 0, "rbgycmbkk");
    writeGradeSpreadFile(folder, 0, r.N_DATA, "rbgycmbkk", r.ADM, r.FDM, r.GDM, &r.Kadm, &r.Kfdm);
    writeGradeSpreadFile(folder / "nine", 0, r.N_DATA, "rb", r.ADM, r.FDM, r.GDM);
    fs::rename(folder / "GRADE_SPREAD.mat", folder / "grade_spread.mat");
    fs::rename(folder / "nine" / "GRADE_SPREAD.mat", folder / "grade_spread_nine.mat");
    fs::remove(folder / "nine");
    const std::string whole = readFile(analysis);
    const std::string grades = readFile(folder / "grade_spread.mat");
    writeFile(folder / "analysis_cut_half.mat", whole.substr(0, whole.size() / 2));
    writeFile(folder / "analysis_cut_tail.mat", whole.substr(0, whole.size() - 13));
    writeFile(folder / "grade_spread_cut.mat", grades.substr(0, grades.size() * 2 / 3));
    std::minstd_rand random(7);
    for (int k = 0; k < 3; ++k) {
        std::string bad = grades;
        for (int flips = 0; flips < 4; ++flips) bad[128 + random() % (bad.size() - 128)] ^= static_cast<char>(0x55);
        writeFile(folder / ("grade_spread_flipped_" + std::to_string(k) + ".mat"), bad);
    }
    return 0;
}

// ---- Octave-written files ---------------------------------------------------------------

// expected.txt: "name k i re im" per value ("k" 0 outside a cell), "name k text <chars>"
// per text; a record's fields as name.value and name.range.
struct Expected {
    std::map<std::string, std::map<int, std::vector<Complex>>> values;
    std::map<std::string, std::map<int, std::string>> texts;
};

Expected readExpected(const fs::path& file)
{
    Expected e;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream s(line);
        std::string name, what;
        int k = 0;
        s >> name >> k >> what;
        if (what == "text") {
            std::string rest;
            std::getline(s, rest);
            e.texts[name][k] = rest.empty() ? rest : rest.substr(1);
        } else {
            double re = 0, im = 0;
            s >> re >> im;
            e.values[name][k].push_back({re, im});
        }
    }
    return e;
}

int failures = 0;

void compare(const std::string& file, const std::string& name, int k, const std::vector<Complex>& got,
             const Expected& e)
{
    const auto v = e.values.find(name);
    if (v == e.values.end() || !v->second.count(k)) {
        std::cerr << file << ": " << name << " entry " << k << " not in expected.txt\n";
        ++failures;
        return;
    }
    const std::vector<Complex>& want = v->second.at(k);
    if (want != got) {
        std::cerr << file << ": " << name << " entry " << k << " differs (" << got.size() << " values read, "
                  << want.size() << " expected)\n";
        ++failures;
    }
}

template <class Seq>
std::vector<Complex> asComplex(const Seq& s)
{
    return std::vector<Complex>(s.begin(), s.end());
}

template <class List>
void compareList(const std::string& file, const std::string& name, const List& list, const Expected& e)
{
    const auto v = e.values.find(name);
    const std::size_t cells = v == e.values.end() ? 0 : v->second.size();
    if (cells != list.size()) {
        std::cerr << file << ": " << name << " has " << list.size() << " entries, expected " << cells << "\n";
        ++failures;
    }
    for (std::size_t k = 0; k < list.size(); ++k) {
        if constexpr (std::is_arithmetic_v<typename List::value_type>)
            compare(file, name, static_cast<int>(k + 1), {Complex(list[k])}, e);
        else
            compare(file, name, static_cast<int>(k + 1), asComplex(list[k]), e);
    }
}

void compareText(const std::string& file, const std::string& name, int k, const std::string& got, const Expected& e)
{
    const auto t = e.texts.find(name);
    if (t == e.texts.end() || !t->second.count(k) || t->second.at(k) != got) {
        std::cerr << file << ": " << name << " entry " << k << " text \"" << got << "\" differs\n";
        ++failures;
    }
}

void compareRecords(const std::string& file, const std::string& name, const GradeList& g, const Expected& e)
{
    Vec values;
    for (const GradeRecord& r : g) values.push_back(r.value);
    compareList(file, name + ".value", values, e);
    for (std::size_t k = 0; k < g.size(); ++k)
        compareText(file, name + ".range", static_cast<int>(k + 1), g[k].range, e);
}

void checkCombined(const fs::path& path, const Expected& e)
{
    const std::string file = path.string();
    LoadedAnalysis loaded = loadAnalysisFile(path);
    for (const AnalysisVariable& v : kAnalysisVariables) {
        // Octave's file is one without the variables a writer may leave out.
        if (v.omittedWhenUnset && !e.values.count(v.name) && !e.texts.count(v.name)) continue;
        std::visit(
            [&](const auto& field) {
                const auto& x = field.put(loaded);
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, int> || std::is_same_v<T, std::size_t>)
                    compare(file, v.name, 0, {Complex(static_cast<double>(x))}, e);
                else if constexpr (std::is_same_v<T, std::string>)
                    compareText(file, v.name, 0, x, e);
                else if constexpr (std::is_same_v<T, GradeList>)
                    compareRecords(file, v.name, x, e);
                else if constexpr (std::is_same_v<T, Vec>) {
                    if (v.kind == AnalysisVariableKind::Scalars) compareList(file, v.name, x, e);
                    else compare(file, v.name, 0, asComplex(x), e);
                } else
                    compareList(file, v.name, x, e);
            },
            v.field);
    }
    // Every variable Octave saved must be one the layout reads back.
    std::set<std::string> names;
    for (const auto& [name, _] : e.values) names.insert(name.substr(0, name.find('.')));
    for (const auto& [name, _] : e.texts) names.insert(name.substr(0, name.find('.')));
    for (const std::string& name : names)
        if (std::none_of(kAnalysisVariables.begin(), kAnalysisVariables.end(),
                         [&](const AnalysisVariable& v) { return name == v.name; })) {
            std::cerr << file << ": " << name << " is not in the analysis file layout\n";
            ++failures;
        }
}

bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && ::access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
    return false;
}

std::string quoted(const std::string& s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int octave(const fs::path& script, const fs::path& folder)
{
    if (!onPath("octave-cli")) {
        std::cerr << "octave-cli is not installed\n";
        return kSkip;
    }
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string command =
        "octave-cli --no-gui --quiet --norc " + quoted(script.string()) + " " + quoted(folder.string());
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << "octave failed: " << command << "\n";
        return 1;
    }
    const Expected e = readExpected(folder / "expected.txt");
    if (e.values.size() < 30) {
        std::cerr << "expected.txt is incomplete\n";
        return 1;
    }
    for (const char* version : {"v6", "v7"}) checkCombined(folder / version / kCombinedAnalysisFile, e);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "write" && argc == 3) return write(argv[2]);
        if (mode == "seeds" && argc == 3) return seeds(argv[2]);
        if (mode == "load" && argc == 4) return load(argv[2], argv[3]);
        if (mode == "octave" && argc == 4) return octave(argv[2], argv[3]);
        std::cerr << "usage: result_files_tool write <folder> | seeds <folder> | load <file.mat> <dump.json> | octave <script.m> <folder>\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}

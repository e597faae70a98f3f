// libFuzzer target for the result MAT-file readers. The input is written to a file (matio
// reads files only) and every variable the program reads is asked for, through the getter
// that fits it and through others, and the whole-file loaders run over it.
// A ResultFileError (the only error the readers throw) is a fine outcome; a crash, a
// sanitizer report, an allocation beyond libFuzzer's limit, another exception type or a
// broken invariant is a fault.
#include "analysis/result_files.h"
#include "figures/figure_file.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

using orvane::ResultFile;
using orvane::ResultFileError;

void check(bool ok)
{
    if (!ok) __builtin_trap();
}

// One file per process, in memory where there is /dev/shm.
const std::string& inputPath()
{
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        const std::string dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp && *tmp ? tmp : "/tmp");
        return dir + "/orvane-matfile-fuzz-" + std::to_string(::getpid()) + ".mat";
    }();
    return path;
}

void removeInput()
{
    ::unlink(inputPath().c_str());
}

bool writeInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(inputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) break;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    ::close(fd);
    return size == 0;
}

// Every variable the program reads, with the getter that fits it (an index into the
// getters of readEverything()).
enum Getter { Scalar, Text, Column, Row, Columns, Spectra, Scalars, Histograms, Triples, Records, kGetters };
const std::pair<const char*, Getter> kNames[] = {
    {"D", Scalar},          {"N_DATA", Scalar},       {"S_MARKER", Text},         {"Mfreq", Column},
    {"Mdata", Columns},     {"LowData", Columns},     {"HighData", Columns},      {"DC_data", Columns},
    {"FFTnewdata", Spectra}, {"TotalFFT", Scalars},   {"breakpoint", Row},        {"Alpha_ADM", Scalars},
    {"ADMi", Columns},      {"ADM_oldi", Columns},    {"FDMi", Columns},          {"GDMi", Columns},
    {"ADMc", Histograms},   {"FDMc", Histograms},     {"GDMc", Histograms},       {"ADMtot", Scalars},
    {"FDMtot", Scalars},    {"GDMtot", Scalars},      {"Grade_ADM", Records},     {"Spread_ADM", Records},
    {"Grade_FDM", Records}, {"Spread_FDM", Records},  {"Grade_GDM", Records},     {"Spread_GDM", Records},
    {"Kadm", Scalars},      {"Kfdm", Scalars},        {"ParametersA", Triples},   {"ParametersF", Triples},
    {"ParametersG", Triples}, {"parameters_means", Triples}, {"parameters_median", Triples}};

void checkError(const ResultFileError& e, const std::string& variable)
{
    check(e.path() == inputPath());
    check(e.variable() == variable);
    check(std::string(e.what()).rfind(inputPath(), 0) == 0);
}

template <class T>
void checkCount(const T& list, std::optional<std::size_t> count)
{
    check(!count || list.size() == *count);
}

// Each variable through the getter that fits it and two others that do not, varied by
// the input: every getter over every variable would spend most of the time in matio.
void readEverything(std::uint32_t salt)
{
    std::optional<ResultFile> opened;
    try {
        opened.emplace(inputPath());
    } catch (const ResultFileError& e) {
        checkError(e, "");
        return;
    }
    const ResultFile& f = *opened;
    std::optional<std::size_t> count;
    try {
        count = f.dataSets() + 1;
        check(*count >= 3 && *count <= 9);
    } catch (const ResultFileError& e) {
        checkError(e, "N_DATA");
    }
    const std::optional<std::size_t> three = 3;
    const std::function<void(const std::string&)> getters[kGetters] = {
        [&](const std::string& n) { f.scalar(n); },
        [&](const std::string& n) { f.text(n); },
        [&](const std::string& n) {
            for (double v : f.column(n, three)) (void)v;
        },
        [&](const std::string& n) { checkCount(f.row(n, count), count); },
        [&](const std::string& n) {
            for (const orvane::Vec& c : f.columns(n, count, salt % 2 ? three : std::nullopt))
                check(salt % 2 == 0 || c.size() == 3);
        },
        [&](const std::string& n) { checkCount(f.spectra(n, count), count); },
        [&](const std::string& n) { checkCount(f.scalars(n, count), count); },
        [&](const std::string& n) { checkCount(f.histograms(n, count), count); },
        [&](const std::string& n) { checkCount(f.triples(n, count), count); },
        [&](const std::string& n) { checkCount(f.records(n, count), count); },
    };
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        const auto [name, fits] = kNames[i];
        (void)f.has(name);
        const std::size_t other = (salt + i) % kGetters;
        for (const std::size_t g : {std::size_t{fits}, other, (other + 1 + salt / 16) % kGetters}) {
            try {
                getters[g](name);
            } catch (const ResultFileError& e) {
                checkError(e, name);
            }
        }
    }
}

void load()
{
    try {
        const orvane::LoadedAnalysis a = orvane::loadAnalysisFile(inputPath());
        check(a.result.resampled.size() == a.result.N_DATA + 1);
        check(a.result.gdm.GDMc.size() == a.result.N_DATA + 1);
    } catch (const ResultFileError&) {
    }
    try {
        const orvane::LoadedGradeSpread g = orvane::loadGradeSpreadFile(inputPath());
        check(g.ADM.Spread.size() == g.N_DATA + 1);
        check(!g.Kadm || g.Kadm->size() == g.N_DATA + 1);
    } catch (const ResultFileError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!writeInput(data, size)) return 0;
    std::uint32_t salt = 0;
    for (std::size_t i = 0; i < size; i += 97) salt = salt * 31 + data[i];
    readEverything(salt);
    // The loaders add little to the getters above; one input in four is enough for them.
    if (salt % 4 == 0) load();
    // Figure files are MAT-files too, read by the same checks.
    try {
        const orvane::Figure fig = orvane::readFigureFile(inputPath());
        for (const orvane::Line& line : fig.axes.lines) check(line.x.size() == line.y.size());
    } catch (const ResultFileError&) {
    }
    // libFuzzer ends without running exit handlers: nothing may be left behind.
    removeInput();
    return 0;
}

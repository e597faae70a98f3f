// The analysis MAT-file written and read back, plain and zlib-compressed (orvane-batch
// --compress), for three data sets on a 100k and a 1M grid.
//
// BM_AnalysisFileWrite/L/C and BM_AnalysisFileRead/L/C: L grid points, C = 0 plain, 1 zlib.
// Counters: file_MB, the size of the file.

#include "analysis/analysis.h"
#include "analysis/dialogs.h"
#include "analysis/result_files.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>

namespace {

using namespace orvane;
namespace fs = std::filesystem;

class YesDialogs : public Dialogs {
public:
    std::string question(const Question& q) override { return q.defaultButton; }
    void warning(const std::string&, const std::string&) override {}
    void error(const std::string&, const std::string&) override {}
};

// One analysis per grid size, computed once: a measurement-like curve and two models.
const AnalysisResult& analysisOn(std::size_t L)
{
    static std::map<std::size_t, AnalysisResult> made;
    if (auto it = made.find(L); it != made.end()) return it->second;
    SetList Md, Mf;
    for (int s = 0; s < 3; ++s) {
        Vec x(L), y(L);
        std::mt19937 noise(static_cast<unsigned>(s));
        std::normal_distribution<double> n(0, 0.2);
        for (std::size_t j = 0; j < L; ++j) {
            const double t = static_cast<double>(j);
            x[j] = t;
            y[j] = 40 + 10 * std::sin(t * 2e-4 * (1 + 0.02 * s)) + std::sin(t * 0.013 + s) + (s == 0 ? n(noise) : 0);
        }
        Mf.push_back(std::move(x));
        Md.push_back(std::move(y));
    }
    YesDialogs dialogs;
    DialogsHost host(dialogs);
    return made.emplace(L, std::move(*runAnalysis(AnalysisSettings{}, Md, Mf, host))).first->second;
}

struct Scratch {
    fs::path root = fs::temp_directory_path() / ("orvane-mat-bench-" + std::to_string(std::random_device{}()));
    Scratch() { fs::create_directories(root); }
    ~Scratch() { fs::remove_all(root); }
};

matfile::Compression compressionOf(const benchmark::State& state)
{
    return state.range(1) ? matfile::Compression::Zlib : matfile::Compression::None;
}

void BM_AnalysisFileWrite(benchmark::State& state)
{
    const AnalysisResult& r = analysisOn(static_cast<std::size_t>(state.range(0)));
    Scratch scratch;
    fs::path file;
    for (auto _ : state) file = writeAnalysisFile(scratch.root, kMagnitudeAnalysisFile, r, 1, "rbgycmbkk", compressionOf(state));
    state.counters["file_MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}

void BM_AnalysisFileRead(benchmark::State& state)
{
    const AnalysisResult& r = analysisOn(static_cast<std::size_t>(state.range(0)));
    Scratch scratch;
    const fs::path file = writeAnalysisFile(scratch.root, kMagnitudeAnalysisFile, r, 1, "rbgycmbkk", compressionOf(state));
    for (auto _ : state) benchmark::DoNotOptimize(loadAnalysisFile(file));
    state.counters["file_MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}

BENCHMARK(BM_AnalysisFileWrite)
    ->ArgsProduct({{100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_AnalysisFileRead)
    ->ArgsProduct({{100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

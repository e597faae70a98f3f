// The whole headless analysis: computation plus every report and MAT-file, no figures.
//
// BM_HeadlessAnalysis/L/F runs fsvMain for 8 data sets on an L-point grid into a scratch
// folder, with the figures saved as F = 0 none, 1 figure files, 2 PNG pictures, and
// reports how its time splits: compute_ms (the numeric sequence alone, timed in the same
// run) and write_ms (the rest: reports, summaries, MAT-files, report.html and figures).
//
// BM_ReportPage/L times report.html alone for the same 8 sets (the inputs' digests, every
// plot as SVG, the page written), next to compute_ms, the analysis it documents.
// BM_Summaries/L writes summary.json, summary.csv and the nine pointwise_k.csv of such an
// analysis (part of write_ms above).

#include "analysis/analysis.h"
#include "analysis/driver.h"
#include "analysis/figure_files.h"
#include "analysis/report.h"
#include "analysis/summaries.h"
#include "render/figure_renderer.h"
#include "render/picture_queue.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace orvane;
namespace fs = std::filesystem;

class SilentProgress : public Progress {
public:
    void update(int, double) override {}
};

class HeadlessUi : public DriverUi {
public:
    std::vector<std::string> files;
    std::string folder;
    std::string question(const Question& q) override { return q.defaultButton; }
    void warning(const std::string&, const std::string&) override {}
    void error(const std::string&, const std::string&) override {}
    int menu(const std::string&, const std::vector<std::string>&) override { return 1; }
    void loadData(Session& s) override
    {
        for (std::size_t k = 0; k < files.size(); ++k) s.dataset[k] = files[k];
    }
    std::string chooseFolder(const std::string&, const std::string&) override { return folder; }
    std::unique_ptr<Progress> openProgress(const std::vector<std::string>&, const std::string&) override
    {
        return std::make_unique<SilentProgress>();
    }
};

// 8 data sets of L+1 samples as files in `folder` and as numbers.
void writeSets(const fs::path& folder, std::size_t L, std::vector<std::string>& files, SetList& Md, SetList& Mf)
{
    for (int s = 0; s < 8; ++s) {
        const std::string path = (folder / ("set" + std::to_string(s) + ".txt")).string();
        std::ofstream out(path);
        Vec x(L + 1), y(L + 1);
        for (std::size_t j = 0; j <= L; ++j) {
            const double t = static_cast<double>(j);
            x[j] = t;
            y[j] = 40 + 10 * std::sin(t * 1e-3 * (1 + 0.01 * s)) + std::sin(t * 0.37 + s);
            out << x[j] << ' ' << y[j] << '\n';
        }
        files.push_back(path);
        Mf.push_back(std::move(x));
        Md.push_back(std::move(y));
    }
}

struct Scratch {
    fs::path root;
    Scratch()
    {
        root = fs::temp_directory_path() / ("orvane-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "out");
    }
    ~Scratch() { fs::remove_all(root); }
};

void BM_HeadlessAnalysis(benchmark::State& state)
{
    const auto L = static_cast<std::size_t>(state.range(0));
    Scratch scratch;
    HeadlessUi ui;
    ui.folder = (scratch.root / "out").string();
    SetList Md, Mf;
    writeSets(scratch.root, L, ui.files, Md, Mf);
    const int figures = static_cast<int>(state.range(1));
    if (figures == 2 && !ensureGuiApplication()) {
        state.SkipWithError("no window system for pictures");
        return;
    }
    double total = 0, compute = 0;
    for (auto _ : state) {
        Session session;
        session.startFigureFormat = figures == 2 ? "png" : "fig";
        PictureQueue queue;
        FigureFiles files(session, ui, [&queue](const Figure& fig, const fs::path& path, const std::string& format) {
            queue.submit(fig, path, format);
        });
        const FigureSinks sinks = figures == 0 ? FigureSinks{} : FigureSinks{&files, &files};
        const auto t0 = std::chrono::steady_clock::now();
        runAnalysisSession(session, Domain::Time, ui, sinks);
        queue.finish();
        const auto t1 = std::chrono::steady_clock::now();
        DialogsHost host(ui);
        auto r = runAnalysis(AnalysisSettings{}, Md, Mf, host);
        const auto t2 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(r);
        total += std::chrono::duration<double, std::milli>(t1 - t0).count();
        compute += std::chrono::duration<double, std::milli>(t2 - t1).count();
        state.PauseTiming();
        fs::remove_all(fs::path(session.outputFolder) / session.analysisFolderName);
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["analysis_ms"] = total / n;
    state.counters["compute_ms"] = compute / n;
    state.counters["write_ms"] = (total - compute) / n;
}

BENCHMARK(BM_HeadlessAnalysis)
    ->ArgsProduct({{1 << 14, 1 << 17}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ReportPage(benchmark::State& state)
{
    const auto L = static_cast<std::size_t>(state.range(0));
    Scratch scratch;
    std::vector<std::string> files;
    SetList Md, Mf;
    writeSets(scratch.root, L, files, Md, Mf);
    HeadlessUi ui;
    DialogsHost host(ui);
    AnalysisSettings settings;
    settings.D = 1;
    settings.sourceNames = files;
    const auto t0 = std::chrono::steady_clock::now();
    AnalysisResult r = *runAnalysis(settings, Md, Mf, host);
    const auto t1 = std::chrono::steady_clock::now();
    r.folder = scratch.root / "out";
    for (auto _ : state) {
        ReportFacts facts;
        facts.inputs = describeInputs(files, Mf, Md, {});
        facts.weighting = true;
        benchmark::DoNotOptimize(writeReport(r.folder, settings, r, facts));
    }
    state.counters["compute_ms"] = std::chrono::duration<double, std::milli>(t1 - t0).count();
    state.counters["report_bytes"] = static_cast<double>(fs::file_size(r.folder / kReportFile));
}

BENCHMARK(BM_ReportPage)->Arg(1 << 14)->Arg(1 << 17)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

void BM_Summaries(benchmark::State& state)
{
    const auto L = static_cast<std::size_t>(state.range(0));
    Scratch scratch;
    HeadlessUi ui;
    SetList Md, Mf;
    writeSets(scratch.root, L, ui.files, Md, Mf);
    DialogsHost host(ui);
    const AnalysisSettings settings;
    const AnalysisResult r = *runAnalysis(settings, Md, Mf, host);
    for (auto _ : state) writeSummaries(scratch.root / "out", settings, r);
}

BENCHMARK(BM_Summaries)->Arg(1 << 14)->Arg(1 << 17)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole numeric sequence against the cost of the transforms it cannot avoid.
//
// BM_Sequence/L runs the analysis of 8 data sets on an L-point grid (interpolation to
// grade and spread, no figures) as a later analysis of a session does; BM_FirstSequence/L
// as the first analysis of a process does, from fresh memory. BM_PlainFFT/L runs 9 complex
// forward FFTW transforms of length L with ESTIMATE plans: one per set and the average.
// Both sequences also report
//   ratio_to_fft  its time over that of the 9 plain transforms, measured in the same run,
//   peak_MB       the most heap held during one analysis (arrays kept for reuse included),
//   kept_MB       the size of the results the analysis keeps,
//   peak_to_kept  peak_MB / kept_MB,
//   faults        page faults per analysis (memory mapped or touched for the first time).

#include "analysis/analysis.h"

#include <benchmark/benchmark.h>

// The replaced operators below pair std::malloc with std::free; the compiler cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#include <fftw3.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>

#include <sys/resource.h>

namespace {

// Heap accounting: every operator new of the process goes through here.
std::atomic<std::size_t> gLive{0}, gPeak{0};

void noteAlloc(std::size_t n)
{
    const std::size_t now = gLive.fetch_add(n) + n;
    std::size_t peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

void* operator new(std::size_t n)
{
    void* p = std::malloc(n + 16);
    if (!p) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = n;
    noteAlloc(n);
    return static_cast<char*>(p) + 16;
}
// The pointer came from std::malloc in operator new above.
void operator delete(void* p) noexcept
{
    if (!p) return;
    char* base = static_cast<char*>(p) - 16;
    gLive.fetch_sub(*reinterpret_cast<std::size_t*>(base));
    std::free(base);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

// The aligned forms keep the size in a header one alignment unit long.
void* operator new(std::size_t n, std::align_val_t a)
{
    const std::size_t unit = static_cast<std::size_t>(a) < 16 ? 16 : static_cast<std::size_t>(a);
    void* p = std::aligned_alloc(unit, (n + unit + unit - 1) / unit * unit);
    if (!p) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = n;
    noteAlloc(n);
    return static_cast<char*>(p) + unit;
}
void operator delete(void* p, std::align_val_t a) noexcept
{
    if (!p) return;
    const std::size_t unit = static_cast<std::size_t>(a) < 16 ? 16 : static_cast<std::size_t>(a);
    char* base = static_cast<char*>(p) - unit;
    gLive.fetch_sub(*reinterpret_cast<std::size_t*>(base));
    std::free(base);
}
void operator delete(void* p, std::size_t, std::align_val_t a) noexcept { operator delete(p, a); }

namespace {

using namespace orvane;

class Silent : public Dialogs {
public:
    std::string question(const Question& q) override { return q.defaultButton; }
    void warning(const std::string&, const std::string&) override {}
    void error(const std::string&, const std::string&) override {}
};

constexpr int kSets = 8;

// Eight sets of L+1 samples, spacing 1 over [0, L]: the grid has exactly L points.
struct Inputs {
    SetList Md, Mf;
    explicit Inputs(std::size_t L)
    {
        for (int s = 0; s < kSets; ++s) {
            Vec x(L + 1), y(L + 1);
            for (std::size_t j = 0; j <= L; ++j) {
                const double t = static_cast<double>(j);
                x[j] = t;
                y[j] = 40 + 10 * std::sin(t * 1e-4 * (1 + 0.01 * s)) + std::sin(t * 0.37 + s) +
                       0.05 * std::cos(t * 2.1 * (s + 1));
            }
            Mf.push_back(std::move(x));
            Md.push_back(std::move(y));
        }
    }
};

std::size_t bytesOf(const SetList& l)
{
    std::size_t b = 0;
    for (const Vec& v : l) b += v.size() * sizeof(double);
    return b;
}

std::size_t keptBytes(const AnalysisResult& r)
{
    std::size_t b = r.abscissa.size() * sizeof(double);
    for (const CVec& s : r.spectra) b += s.size() * sizeof(Complex);
    for (const SetList* l : {&r.resampled, &r.LowData, &r.HighData, &r.DC_data, &r.adm.ADMi, &r.adm.ADM_oldi, &r.fdm.FDMi,
                             &r.gdm.GDMi})
        b += bytesOf(*l);
    return b;
}

// The baseline: kSets+1 complex forward transforms of length L with an ESTIMATE plan.
class PlainFft {
public:
    explicit PlainFft(std::size_t L) : in_(fftw_alloc_complex(L)), out_(fftw_alloc_complex(L))
    {
        plan_ = fftw_plan_dft_1d(static_cast<int>(L), in_, out_, FFTW_FORWARD, FFTW_ESTIMATE);
        for (std::size_t j = 0; j < L; ++j) {
            in_[j][0] = std::sin(0.1 * static_cast<double>(j));
            in_[j][1] = 0;
        }
    }
    ~PlainFft()
    {
        fftw_destroy_plan(plan_);
        fftw_free(in_);
        fftw_free(out_);
    }
    PlainFft(const PlainFft&) = delete;
    PlainFft& operator=(const PlainFft&) = delete;

    void run()
    {
        for (int s = 0; s <= kSets; ++s) fftw_execute(plan_);
        benchmark::DoNotOptimize(out_);
    }

private:
    fftw_complex* in_;
    fftw_complex* out_;
    fftw_plan plan_;
};

// Seconds for the baseline (best of a few runs).
double plainFftSeconds(std::size_t L)
{
    PlainFft fft(L);
    double best = 1e30;
    for (int rep = 0; rep < 3; ++rep) {
        const auto t0 = std::chrono::steady_clock::now();
        fft.run();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

void BM_PlainFFT(benchmark::State& state)
{
    PlainFft fft(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) fft.run();
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// A later analysis of a session (fresh = false) finds the transform plans made and the
// arrays the previous one freed kept for reuse. The first analysis of a process (fresh =
// true) starts with no arrays kept and gives them all back to the system at the end, so it
// pays for mapping and first touching every page of its results.
void runSequence(benchmark::State& state, bool fresh)
{
    const auto L = static_cast<std::size_t>(state.range(0));
    const Inputs inputs(L);
    Silent dialogs;
    AnalysisSettings settings;
    settings.maxGridPoints = std::size_t{1} << 22;
    DialogsHost host(dialogs);
    runAnalysis(settings, inputs.Md, inputs.Mf, host);
    if (fresh) releasePooledArrays();
    std::size_t kept = 0, peak = 0;
    double seconds = 0;
    const long faultsBefore = minorFaults();
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        // The arrays kept for reuse count as held by this analysis: they are live heap.
        const std::size_t base = gLive.load() - pooledArrayBytes();
        gPeak.store(gLive.load());
        DialogsHost host(dialogs);
        auto r = runAnalysis(settings, inputs.Md, inputs.Mf, host);
        if (!r || r->abscissa.size() != L) state.SkipWithError("unexpected grid");
        peak = gPeak.load() - base;
        kept = keptBytes(*r);
        benchmark::DoNotOptimize(r);
        r.reset();
        if (fresh) releasePooledArrays();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double faults = static_cast<double>(minorFaults() - faultsBefore);
    const double fft = plainFftSeconds(L);
    state.counters["faults"] = faults / static_cast<double>(state.iterations());
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["kept_MB"] = static_cast<double>(kept) / 1e6;
    state.counters["peak_to_kept"] = kept ? static_cast<double>(peak) / static_cast<double>(kept) : 0;
    state.counters["ratio_to_fft"] = seconds / static_cast<double>(state.iterations()) / fft;
}

void BM_Sequence(benchmark::State& state) { runSequence(state, false); }
void BM_FirstSequence(benchmark::State& state) { runSequence(state, true); }

void sizes(benchmark::internal::Benchmark* b)
{
    for (long L : {1L << 10, 1L << 14, 1L << 17, 1L << 20, 1000003L}) b->Arg(L);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Sequence)->Apply(sizes)->MinTime(2.0);
BENCHMARK(BM_FirstSequence)->Apply(sizes)->MinTime(2.0);
BENCHMARK(BM_PlainFFT)->Apply(sizes);
// 8 sets of 100k points: the size bench/python_overhead.py compares the Python module with.
BENCHMARK(BM_Sequence)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();

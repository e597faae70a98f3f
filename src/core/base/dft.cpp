#include "base/dft.h"

#include <fftw3.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace orvane {

namespace {

// FFTW's planner is not thread-safe, and plans are worth keeping: one cache for the process.
struct PlanCache {
    std::mutex mutex;
    std::map<std::size_t, std::pair<fftw_plan, fftw_plan>> plans;

    ~PlanCache()
    {
        for (auto& [length, pair] : plans) {
            fftw_destroy_plan(pair.first);
            fftw_destroy_plan(pair.second);
        }
        fftw_cleanup();
    }

    std::pair<fftw_plan, fftw_plan> get(std::size_t L)
    {
        std::lock_guard lock(mutex);
        auto it = plans.find(L);
        if (it != plans.end()) return it->second;
        // Plan on SIMD-aligned scratch arrays; the plans then run on the caller's arrays
        // when those are aligned the same way (see aligned()).
        const std::size_t H = halfSpectrumSize(L);
        double* x = fftw_alloc_real(L);
        fftw_complex* c = fftw_alloc_complex(H);
        const unsigned flags = FFTW_ESTIMATE;
        const int n = static_cast<int>(L);
        fftw_plan fwd = fftw_plan_dft_r2c_1d(n, x, c, flags);
        fftw_plan inv = fftw_plan_dft_c2r_1d(n, c, x, flags | FFTW_DESTROY_INPUT);
        fftw_free(x);
        fftw_free(c);
        if (!fwd || !inv) throw std::runtime_error("FFTW could not plan a transform of length " + std::to_string(L));
        return plans.emplace(L, std::make_pair(fwd, inv)).first->second;
    }
};

PlanCache& planCache()
{
    static PlanCache cache;
    return cache;
}

// The plans assume the alignment of fftw_malloc'd arrays.
bool aligned(const void* p)
{
    return fftw_alignment_of(static_cast<double*>(const_cast<void*>(p))) == 0;
}

// Copies in and out of aligned scratch for arrays that are not aligned (a caller's
// std::vector, a sub-array): slower, but always correct.
struct Scratch {
    double* x = nullptr;
    fftw_complex* c = nullptr;
    std::size_t length = 0;
    ~Scratch()
    {
        fftw_free(x);
        fftw_free(c);
    }
    void reserve(std::size_t L)
    {
        if (L <= length) return;
        fftw_free(x);
        fftw_free(c);
        x = fftw_alloc_real(L);
        c = fftw_alloc_complex(halfSpectrumSize(L));
        if (!x || !c) throw std::bad_alloc();
        length = L;
    }
};

Scratch& scratch()
{
    thread_local Scratch s;
    return s;
}

}  // namespace

RealDft::RealDft(std::size_t length) : length_(length)
{
    if (length == 0 || length > static_cast<std::size_t>(INT32_MAX))
        throw std::invalid_argument("transform length out of range: " + std::to_string(length));
    auto [fwd, inv] = planCache().get(length);
    forwardPlan_ = fwd;
    inversePlan_ = inv;
}

void RealDft::forward(const double* x, Complex* half) const
{
    const auto plan = static_cast<fftw_plan>(forwardPlan_);
    auto* out = reinterpret_cast<fftw_complex*>(half);
    if (aligned(x) && aligned(half)) {
        fftw_execute_dft_r2c(plan, const_cast<double*>(x), out);
        return;
    }
    Scratch& s = scratch();
    s.reserve(length_);
    std::copy(x, x + length_, s.x);
    fftw_execute_dft_r2c(plan, s.x, s.c);
    std::memcpy(out, s.c, sizeof(fftw_complex) * halfSpectrumSize(length_));
}

void RealDft::inverse(Complex* half, double* x) const
{
    const auto plan = static_cast<fftw_plan>(inversePlan_);
    auto* in = reinterpret_cast<fftw_complex*>(half);
    if (aligned(x) && aligned(half)) {
        fftw_execute_dft_c2r(plan, in, x);
        return;
    }
    Scratch& s = scratch();
    s.reserve(length_);
    std::memcpy(s.c, in, sizeof(fftw_complex) * halfSpectrumSize(length_));
    fftw_execute_dft_c2r(plan, s.c, s.x);
    std::copy(s.x, s.x + length_, x);
}

CVec fullSpectrum(const CVec& half, std::size_t L)
{
    CVec full(L);
    const std::size_t H = std::min(half.size(), L);
    for (std::size_t k = 0; k < H; ++k) full[k] = half[k];
    for (std::size_t k = H; k < L; ++k) full[k] = std::conj(half[L - k]);
    return full;
}

}  // namespace orvane

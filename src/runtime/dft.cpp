#include "runtime/dft.h"

#include <fftw3.h>

#include <map>
#include <mutex>
#include <utility>

namespace orvane {

namespace {

// FFTW's planner is not thread-safe, and plans are worth keeping: one cache for the process.
struct PlanCache {
    std::mutex mutex;
    std::map<std::size_t, std::pair<fftw_plan, fftw_plan>> plans;

    std::pair<fftw_plan, fftw_plan> get(std::size_t L)
    {
        std::lock_guard lock(mutex);
        auto it = plans.find(L);
        if (it != plans.end()) return it->second;
        // Plan on scratch arrays; the plans are later run on the caller's arrays, which
        // need not share the scratch alignment, hence FFTW_UNALIGNED.
        const std::size_t H = halfSpectrumSize(L);
        double* x = fftw_alloc_real(L);
        fftw_complex* c = fftw_alloc_complex(H);
        const unsigned flags = FFTW_ESTIMATE | FFTW_UNALIGNED;
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
    fftw_execute_dft_r2c(static_cast<fftw_plan>(forwardPlan_), const_cast<double*>(x),
                         reinterpret_cast<fftw_complex*>(half));
}

void RealDft::inverse(Complex* half, double* x) const
{
    fftw_execute_dft_c2r(static_cast<fftw_plan>(inversePlan_), reinterpret_cast<fftw_complex*>(half), x);
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

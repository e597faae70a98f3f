#include "method/fdm.h"

#include "base/parallel.h"
#include "base/stats.h"

#include <cmath>
#include <stdexcept>

namespace orvane {

Vec sampleDerivative(const Vec& x)
{
    const std::size_t M = x.size();
    if (M < 2) throw std::invalid_argument("sampleDerivative: at least two points needed");
    Vec d(M);
    d[0] = x[1] - x[0];
    for (std::size_t j = 1; j + 1 < M; ++j) d[j] = (x[j + 1] - x[j - 1]) / 2;
    d[M - 1] = x[M - 1] - x[M - 2];
    return d;
}

namespace {

// (|a| − |b|) / normaliser, or the plain difference when the normaliser is 0.
inline double term(double a, double b, double normaliser)
{
    const double d = std::fabs(a) - std::fabs(b);
    return normaliser == 0 ? d : d / normaliser;
}

// The derivative of x at j, evaluated where it is needed so that the derivative columns
// of every set never have to be stored.
inline double derivativeAt(const double* x, std::size_t M, std::size_t j)
{
    if (j == 0) return x[1] - x[0];
    if (j == M - 1) return x[M - 1] - x[M - 2];
    return (x[j + 1] - x[j - 1]) / 2;
}

// Walks D(x) and D(D(x)) along x, one point per step.
class DerivativeWalk {
public:
    DerivativeWalk(const double* x, std::size_t M) : x_(x), M_(M), cur_(derivativeAt(x, M, 0)), next_(derivativeAt(x, M, 1)) {}
    // First and second derivative at j; call with j = 0, 1, … in order.
    void at(std::size_t j, double& first, double& second)
    {
        if (j > 0) {
            prev_ = cur_;
            cur_ = next_;
            if (j + 1 < M_) next_ = derivativeAt(x_, M_, j + 1);
        }
        first = cur_;
        if (j == 0)
            second = next_ - cur_;
        else if (j == M_ - 1)
            second = cur_ - prev_;
        else
            second = (next_ - prev_) / 2;
    }

private:
    const double* x_;
    std::size_t M_;
    double prev_ = 0, cur_, next_;
};

}  // namespace

FdmResult FDM(const SetList& LowData, const SetList& HighData, bool keepDerivatives)
{
    const std::size_t sets = LowData.size();
    if (sets == 0 || HighData.size() != sets) throw std::invalid_argument("FDM: one low and one high part per set expected");

    const Vec lowAv_dp = sampleDerivative(LowData.back());
    const Vec highAv_dp = sampleDerivative(HighData.back());
    const Vec highAv_ds = sampleDerivative(highAv_dp);
    const double Lo2 = sumAbs(lowAv_dp), Hi2 = sumAbs(highAv_dp), Hi22 = sumAbs(highAv_ds);
    const std::size_t L = LowData.front().size();
    const double LL = static_cast<double>(L);
    if (L < 2) throw std::invalid_argument("FDM: at least two points needed");

    FdmResult r;
    r.FDMtot.resize(sets);
    r.FDMi.resize(sets);
    r.FDMc.resize(sets);
    for (std::size_t i = 0; i < sets; ++i)
        if (LowData[i].size() != L || HighData[i].size() != L || lowAv_dp.size() != L)
            throw std::invalid_argument("FDM: parts differ in length");
    parallelFor(sets, L, [&](std::size_t i) {
        const double* low = LowData[i].data();
        const double* high = HighData[i].data();
        // Pass 1: the normalisers, summed in index order.
        double Lo1 = 0, Hi1 = 0, Hi11 = 0;
        {
            DerivativeWalk walk(high, L);
            for (std::size_t j = 0; j < L; ++j) {
                double dp, ds;
                walk.at(j, dp, ds);
                Lo1 += std::fabs(derivativeAt(low, L, j));
                Hi1 += std::fabs(dp);
                Hi11 += std::fabs(ds);
            }
        }
        const double afdm1 = 2 * (Lo1 + Lo2) / LL;
        const double afdm2 = (Hi1 + Hi2) * (6 / LL);
        const double afdm3 = (Hi11 + Hi22) * (7.2 / LL);
        // Pass 2: the measure point by point.
        Vec fdmi(L);
        ClassCounter classes;
        double total = 0.0;  // in index order, as a sum over the finished column
        DerivativeWalk walk(high, L);
        for (std::size_t j = 0; j < L; ++j) {
            double dp, ds;
            walk.at(j, dp, ds);
            const double fd1 = term(derivativeAt(low, L, j), lowAv_dp[j], afdm1);
            const double fd2 = term(dp, highAv_dp[j], afdm2);
            const double fd3 = term(ds, highAv_ds[j], afdm3);
            const double value = 2 * std::fabs((fd1 + fd2) + fd3);
            fdmi[j] = value;
            classes.add(value);
            total += value;
        }
        r.FDMc[i] = classes.histogram(LL);
        r.FDMtot[i] = total / static_cast<double>(LowData[i].size());
        r.FDMi[i] = std::move(fdmi);
    });

    for (std::size_t i = 0; i < sets && keepDerivatives; ++i) {
        {
            r.LowData_dp.push_back(sampleDerivative(LowData[i]));
            r.HighData_dp.push_back(sampleDerivative(HighData[i]));
            r.Highdata_ds.push_back(sampleDerivative(r.HighData_dp.back()));
        }
    }
    return r;
}

}  // namespace orvane

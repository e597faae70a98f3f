// Straightforward O(L²) versions of the transforms, written from the formulas, as the
// reference for the fast code.
#pragma once

#include "base/types.h"

#include <cmath>
#include <numbers>

namespace orvane::test {

inline Complex twiddle(std::size_t k, std::size_t n, std::size_t L, double sign)
{
    const double a = sign * 2 * std::numbers::pi * static_cast<double>((k * n) % L) / static_cast<double>(L);
    return {std::cos(a), std::sin(a)};
}

inline CVec dft(const CVec& x)
{
    const std::size_t L = x.size();
    CVec X(L);
    for (std::size_t k = 0; k < L; ++k)
        for (std::size_t n = 0; n < L; ++n) X[k] += x[n] * twiddle(k, n, L, -1);
    return X;
}

inline CVec idft(const CVec& X)
{
    const std::size_t L = X.size();
    CVec x(L);
    for (std::size_t n = 0; n < L; ++n) {
        for (std::size_t k = 0; k < L; ++k) x[n] += X[k] * twiddle(k, n, L, +1);
        x[n] /= static_cast<double>(L);
    }
    return x;
}

inline CVec toComplex(const Vec& v) { return CVec(v.begin(), v.end()); }

}  // namespace orvane::test

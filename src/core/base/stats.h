// Reductions and rounding with the runtime's conventions.
#pragma once

#include "base/types.h"

#include <span>

namespace orvane {

// Sum in index order (the order matters for the last bits, and the callers rely on it).
double sum(const Vec& v);
// Sum of magnitudes in index order.
double sumAbs(const Vec& v);
// Arithmetic mean; not-a-number for an empty vector.
double mean(const Vec& v);
// Median; the mean of the two middle values for an even count; not-a-number when empty.
double median(std::span<const double> v);
// Rounding half away from zero (2.5 → 3, −2.5 → −3).
double roundHalfAway(double x);

}  // namespace orvane

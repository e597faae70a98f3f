// The six confidence classes of a difference measure, its histogram, and the two summary
// numbers derived from a histogram or a total.
#pragma once

#include "base/types.h"

#include <array>
#include <span>
#include <string_view>

namespace orvane {

inline constexpr std::size_t kClasses = 6;
using Histogram = std::array<double, kClasses>;  // class fractions, class 1 first
using HistogramList = std::vector<Histogram>;

// Names of the classes, class 1 first.
inline constexpr std::array<const char*, kClasses> kClassNames = {"Excellent", "Very Good", "Good",
                                                                  "Fair",      "Poor",      "Extremely Poor"};

// Legend texts of the classes, class 1 first.
inline constexpr std::array<std::string_view, kClasses> kClassLabels = {
    "Excellent (0,0.1]", "Very Good (0.1,0.2]", "Good (0.2,0.4]",
    "Fair (0.4,0.8]",    "Poor (0.8,1.6]",      "Extremely Poor (1.6,inf)"};

// Class 1 … 6 of a value (lower bounds open, upper bounds closed, 0 in class 1);
// 0 for a value that meets no rule (not-a-number or negative).
int confidenceClass(double x);

// Counts values into the classes one at a time, for a loop that makes the values and so
// need not walk them again. Counts of the values at or above each class's lower bound are
// kept without a branch; a class holds the difference of two neighbouring counts. Negative
// values and not-a-number pass no comparison and fall in no class.
class ClassCounter {
public:
    void add(double x)
    {
        atLeast_[0] += x >= 0;
        atLeast_[1] += x > 0.1;
        atLeast_[2] += x > 0.2;
        atLeast_[3] += x > 0.4;
        atLeast_[4] += x > 0.8;
        atLeast_[5] += x > 1.6;
    }
    // Counts divided by `normaliser`.
    Histogram histogram(double normaliser) const;

private:
    std::array<std::size_t, kClasses> atLeast_{};
};

// Fraction of the points of v in each class: counts divided by `normaliser`.
Histogram classHistogram(std::span<const double> v, double normaliser);

// Mean class of a histogram: Σ c·h(c), c = 1 … 6.
double meanClass(const Histogram& h);

// A total mapped onto the continuous class scale 1 … 6 (see the piecewise table).
double classScaleTotal(double x);


}  // namespace orvane

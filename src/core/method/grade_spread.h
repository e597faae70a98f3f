// Grade and spread of confidence histograms at a threshold.
#pragma once

#include "method/classes.h"

#include <string>
#include <vector>

namespace orvane {

// A grade or spread: the number of classes counted and the span of classes they cover.
struct GradeRecord {
    double value = 0;   // 1 … 6
    std::string range;  // grade: "E   ", "E-VG", …; spread: "E-VG", "G-G", "EP-EP", …
};
using GradeList = std::vector<GradeRecord>;

struct GradeSpread {
    GradeList Grade;
    GradeList Spread;
};

// thr is a fraction (0.85 for the default "85"). Grade: classes counted from class 1 up
// until their share exceeds thr. Spread: classes counted from the fullest down (equal
// fractions: higher class first) until their share exceeds thr. Counting stops after
// class 6, and as soon as the classes left hold no point; at least one class is counted.
GradeSpread gradesAndSpreads(double thr, const HistogramList& histograms);

// The same for one histogram.
GradeRecord gradeOf(double thr, const Histogram& h);
GradeRecord spreadOf(double thr, const Histogram& h);

}  // namespace orvane

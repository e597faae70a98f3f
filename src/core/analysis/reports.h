// The text reports of an analysis: plain value tables, the averages of a measure, and the
// grade and spread of the three measures. Each is written whole into the analysis folder
// (see writeFileAtomically); a failed write throws Error naming the file.
#pragma once

#include "method/grade_spread.h"
#include "method/classes.h"
#include "base/types.h"

#include <array>
#include <filesystem>
#include <span>
#include <string_view>

namespace orvane {

// Writes name.txt: one value per line (whole numbers without a decimal point, others in
// their shortest exact form).
void writeValues(const std::filesystem::path& folder, std::span<const double> column, std::string_view name);

// Writes name.txt: the six class fractions, class 1 first, one per line.
void writeValues(const std::filesystem::path& folder, const Histogram& histogram, std::string_view name);

// Writes name.txt: one line per row, values separated by one blank.
void writeValues(const std::filesystem::path& folder, const Matrix& m, std::string_view name);

// Writes name_average.txt: total, mean class and class-scale total of P, then the weights
// that apply (-1 marks a weight that does not).
void writeMeasureAverages(const std::filesystem::path& folder, const std::array<double, 3>& P, std::string_view name,
               double Kadm, double Kfdm);


// Writes base_thr.txt afresh: a grade and spread block for each of the measures A, F, G.
void writeGradeSpreadReport(const std::filesystem::path& folder,
                const GradeRecord& gradeA, const GradeRecord& spreadA, std::string_view nameA,
                const GradeRecord& gradeF, const GradeRecord& spreadF, std::string_view nameF,
                const GradeRecord& gradeG, const GradeRecord& spreadG, std::string_view nameG,
                std::string_view base, std::string_view thr);

}  // namespace orvane

// The machine-readable summaries of an analysis: summary.json, summary.csv and one
// pointwise_k.csv per set, written into every analysis folder. `orvane-batch --json` prints
// summaryJson() itself, so the file and the command's output are one document.
#pragma once

#include "analysis/analysis.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace orvane {

inline constexpr const char* kSummaryJsonFile = "summary.json";
inline constexpr const char* kSummaryCsvFile = "summary.csv";
inline constexpr int kSummarySchema = 1;  // raised whenever a key changes meaning or goes away

// The analysis as one JSON document (share/summary.schema.json describes it): "schema",
// "program", "version", the folder, domain and analysis kind, threshold (a number, in
// percent), weighting, the reference, the grid (points, spacing, range, kind), then "sets":
// N_DATA+1 objects, the last the reference (the average, or the copy of the chosen set), each
// with its source file and how it was read (from settings.sourceNames and readReports, where
// given), and per measure ("adm", "fdm", "gdm") total, mean class, class-scale total,
// median, grade and spread with their class ranges, the grade's class name and the six class
// fractions, and the GDM weights. Keys are snake_case, numbers are JSON numbers (null for
// one that is not finite), and texts are valid UTF-8 whatever the file names held (other
// bytes appear as \xHH). Ends with a newline.
std::string summaryJson(const AnalysisSettings& settings, const AnalysisResult& result);

// The same figures as CSV (RFC 4180, header line first): one row per set and measure, in
// set order, ADM, FDM, GDM within a set.
std::string summaryCsv(const AnalysisSettings& settings, const AnalysisResult& result);

// Writes summary.json, summary.csv and pointwise_k.csv for k = 1 … N_DATA+1 (abscissa,
// ADMi, FDMi, GDMi, with a header line) into `folder`, through the atomic writer.
void writeSummaries(const std::filesystem::path& folder, const AnalysisSettings& settings,
                    const AnalysisResult& result);

// What entry `set` (0-based, as in the per-set lists) is: "set 2 against the average" or,
// with a chosen reference, "set 2 against the reference";
// the last set is "the average of the sets" or "the reference (set 1)".
std::string comparisonOf(const AnalysisResult& result, std::size_t set);

}  // namespace orvane

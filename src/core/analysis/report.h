// report.html: one self-contained page that documents an analysis for a review or a file:
// what was compared (files, digests, how they were read, the grid), the results per set in
// words and colours, every plot of the measures as inline SVG, and how to read them. It
// needs no network, no script and no other file, and prints to A4.
#pragma once

#include "analysis/analysis.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

inline constexpr const char* kReportFile = "report.html";

// One input file as the report names it.
struct ReportInput {
    std::string name;                    // the path as given; "Dataset k" for sets given as numbers
    std::optional<std::uintmax_t> bytes;  // size of the file; nothing when it could not be read
    std::string sha256;                  // digest of the file; empty when it could not be read
    Vec abscissa, ordinate;              // the samples as read, before the grid
    std::optional<ReadReport> read;      // how the file was read, when known
};

struct ReportFacts {
    std::vector<ReportInput> inputs;
    std::optional<bool> weighting;  // whether GDM weighting was chosen, when known
    std::string date;               // when the analysis ran; empty: now
};

// The inputs of an analysis: sizes and digests from the files named in `names` (a file that
// cannot be read is described without them), the samples from Mf/Md.
std::vector<ReportInput> describeInputs(const std::vector<std::string>& names, const SetList& Mf, const SetList& Md,
                                        const std::vector<ReadReport>& reads);

// The page of a finished analysis.
std::string reportPage(const AnalysisSettings& settings, const AnalysisResult& result, const ReportFacts& facts);

// Writes report.html into `folder` through the one file writer; gives its path.
std::filesystem::path writeReport(const std::filesystem::path& folder, const AnalysisSettings& settings,
                                  const AnalysisResult& result, const ReportFacts& facts);

// Writes the report of a saved analysis again for the threshold `thrs`, with the grades and
// spreads computed for it: the rest comes from its analysis file (`analysisFile`, of kind T),
// the inputs are read again from `files` with `reads`. An input that cannot be read any more
// is shown by its name, without digest, and by its set on the grid.
std::filesystem::path rewriteReport(const std::filesystem::path& analysisFile, int T, const std::string& thrs,
                                    const GradeSpread& ADM, const GradeSpread& FDM, const GradeSpread& GDM,
                                    const std::vector<std::string>& files, const std::vector<ReadOptions>& reads,
                                    std::optional<bool> weighting);

// The report button: opens report.html of `analysisFolder` in the desktop's browser through
// the document opener. Throws Error when the folder holds none (an analysis run without a
// report, or by an older version); the opener's errors as ExtensionError.
void openReport(const std::filesystem::path& analysisFolder);

// The version the report names.
const char* programVersion();

}  // namespace orvane

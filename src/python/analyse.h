// One analysis for the module: reads the files among the sets and runs the one pipeline,
// writing the analysis folder as the batch command does when an output folder is given.
// Runs without the interpreter lock: it touches no Python object.
#pragma once

#include "analysis/analysis.h"
#include "python/inputs.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvane::python {

struct AnalysisRequest {
    AnalysisSettings settings;  // domain, threshold, reference and grid already set
    std::vector<SetInput> sets;
    bool weighting = true;
    std::optional<std::filesystem::path> output;  // the folder the analysis sub-folder is made in
};

struct AnalysisOutcome {
    AnalysisResult result;
    std::vector<std::string> sources;       // per set, its file (absolute) or empty
    std::vector<ReadReport> readReports;    // per set, how its file was read (default for numbers)
    std::vector<std::string> warnings;      // what the pipeline warned about on the way
    double analysisSeconds = 0;             // wall time of runAnalysis alone (no reading, no Python)
    AnalysisSettings settings;              // as the analysis ran, for its summary
};

// Throws the project's errors with the batch command's messages: a file with the wrong
// number of columns as "Error Data Input: format wrong: …", sets without a common range as
// "Error Data Input: Check x-Range of the data sets: …" naming the files and lines.
AnalysisOutcome analyse(AnalysisRequest request);

}  // namespace orvane::python

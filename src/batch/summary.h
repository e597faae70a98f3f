// The batch command's summary of an analysis for people (programs read summaryJson).
#pragma once

#include "analysis/analysis.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

struct SummaryInfo {
    std::string folder;  // the analysis sub-folder
    std::string domain;  // time, magnitude or phase
    std::string thrs;
    bool weighting = true;
    std::vector<std::string> files;
    std::string gridWarning;  // the dense-grid warning, when there was one
};

void printSummaryTable(std::ostream& out, const AnalysisResult& r, const SummaryInfo& info);

}  // namespace orvane

// The Python face of a finished analysis: orvane.Result.
#pragma once

#include "python/analyse.h"

#include <pybind11/pybind11.h>

namespace orvane::python {

struct ModuleResult {
    AnalysisOutcome outcome;
    std::string domain;
    double threshold = 85;
    bool weighting = true;
};

void bindResult(pybind11::module_& module);

// What reading a file found, as a dict (format, columns, unit, skipped lines, …).
pybind11::dict reportDict(const ReadReport& report);

}  // namespace orvane::python

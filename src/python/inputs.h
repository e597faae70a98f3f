// What a Python call hands the module, checked and turned into the library's own types.
// Every check fails with std::invalid_argument (ValueError in Python) saying what is wrong;
// nothing here needs the interpreter lock once the arrays are copied.
#pragma once

#include "analysis/analysis.h"
#include "formats/data_set.h"

#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace orvane::python {

// One data set as given: a file (its path, read with the batch command's choices) or numbers.
struct SetInput {
    std::string path;  // empty for numbers
    ReadOptions options;
    Vec x, y;          // the numbers, when no path is given
};

// The `sets` argument: 2 to 8 entries, each a path (str or os.PathLike; "file:columns=1,3"
// choices as the batch command takes them) or an (x, y) pair of 1-D array-likes of equal
// length, finite, with x not decreasing. Needs the interpreter lock.
std::vector<SetInput> setInputs(const pybind11::handle& sets);

// The read choices of orvane.read(path, **how): columns, param, quantity, x_unit,
// merge_duplicates, with the batch command's values.
ReadOptions readOptions(const pybind11::dict& how);

// The scalar arguments of orvane.analyse onto the settings.
void applyDomain(AnalysisSettings& settings, const std::string& domain);
void applyThreshold(AnalysisSettings& settings, double threshold);
void applyReference(AnalysisSettings& settings, const pybind11::handle& reference, std::size_t sets);
void applyGrid(AnalysisSettings& settings, const pybind11::handle& grid);

}  // namespace orvane::python

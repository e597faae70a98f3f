// One data set as the analysis loads it: abscissa (column 1) and ordinate (column 2).
#pragma once

#include "base/types.h"

#include <optional>
#include <string>

namespace orvane {

struct DataSet {
    Vec abscissa;
    Vec ordinate;
};

// Reads a data file. Gives nothing when the file does not hold exactly two columns (the
// caller reports "format wrong"). Fails with a DataFileError naming the line when the
// abscissa decreases, or when the last sample repeats the abscissa before it (no
// interpolation could use it); reader errors pass through.
std::optional<DataSet> readDataSet(const std::string& path);

}  // namespace orvane

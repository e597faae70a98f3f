// One data set as the analysis loads it: abscissa (column 1) and ordinate (column 2).
#pragma once

#include "base/error.h"
#include "base/types.h"

#include <string>

namespace orvane {

struct DataSet {
    Vec abscissa;
    Vec ordinate;
    std::vector<std::size_t> lines;  // the file's 1-based line of each sample
};

// A data file without exactly two columns of numbers (the analysis reports "format
// wrong"); what() names the file, the line and what was found.
class ColumnCountError : public DataFileError {
public:
    using DataFileError::DataFileError;
};

// Reads a data file. Fails with a ColumnCountError when the file does not hold exactly two
// columns, and with a DataFileError naming the line when the abscissa decreases, or when
// the last sample repeats the abscissa before it (no interpolation could use it); reader
// errors pass through.
DataSet readDataSet(const std::string& path);

}  // namespace orvane

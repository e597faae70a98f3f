// One data set as the analysis loads it: abscissa (column 1) and ordinate (column 2).
#pragma once

#include "base/error.h"
#include "base/types.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane {

// What to take from a file beyond two plain columns. The defaults read a plain two-column
// file exactly as readDataSet(path) does.
struct ReadOptions {
    enum class Quantity { Db, Magnitude, PhaseDeg, PhaseUnwrapped };

    // Columns of a text file, 1-based, or by header name; the name wins when both are set.
    std::optional<std::size_t> xColumn, yColumn;
    std::optional<std::string> xName, yName;
    std::string parameter;            // network parameter of a Touchstone file; empty: S21 (S11 for one port)
    Quantity quantity = Quantity::Db;  // what of the parameter becomes the ordinate
    // Unit of x in a text file: "MHz", "ns" … scale it to Hz or s; "header": the unit the
    // header names; "none": numbers as written. Unset: "header" wherever the extended
    // reader is needed, numbers as written where the plain reader takes the file.
    std::optional<std::string> xUnit;
    bool mergeDuplicates = false;  // samples with equal abscissae become one with the mean ordinate

    bool operator==(const ReadOptions&) const = default;
};

// What reading a file found and did, for the user to check.
struct ReadReport {
    std::string format = "text";     // "text", "Touchstone 1", "Touchstone 2"
    std::string encoding = "UTF-8";  // or "UTF-16LE", "UTF-16BE"
    std::size_t xColumn = 1, yColumn = 2;  // 1-based columns of a text file
    std::size_t columns = 2;               // columns of numbers the file holds
    std::string xHeader, yHeader;          // their titles, when the file names them
    std::string xUnit;                     // unit of x as found ("MHz"), empty if none
    double xScale = 1.0;                   // factor applied to x
    std::size_t skippedLines = 0;          // metadata lines before the numbers
    bool decimalComma = false;
    bool quotedFields = false;
    std::size_t mergedSamples = 0;  // samples dropped by merging equal abscissae
    // Touchstone
    std::size_t ports = 0;
    std::string parameter;  // "S21"
    std::string quantity;   // "dB", "magnitude", "phase (deg)", "unwrapped phase (deg)"
    std::string storedFormat;  // "RI", "MA", "DB"
    std::vector<double> referenceImpedance;

    // One line for the user ("Touchstone 1, S21 in dB, frequency GHz → Hz"); empty when the
    // plain reader took the file as it is.
    std::string summary() const;
    bool plain = true;  // read by the plain two-column reader, unchanged
};

struct DataSet {
    Vec abscissa;
    Vec ordinate;
    std::vector<std::size_t> lines;  // the file's 1-based line of each sample
    ReadReport report;
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

// Reads a text or Touchstone file with choices. A file the plain reader takes as two
// columns, with no column or unit chosen, loads exactly as readDataSet(path). Otherwise
// the extended reader takes it: a metadata block before the numbers, a decimal comma,
// quoted fields, UTF-16, column choice, units in the header; Touchstone (.sNp, .ts or
// [Version]) gives the chosen parameter against frequency in Hz.
DataSet readDataSet(const std::string& path, const ReadOptions& options);

}  // namespace orvane

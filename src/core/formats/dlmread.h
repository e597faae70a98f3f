// Reader of the numeric text files that hold the data sets.
//
// One matrix row per data line, numbers separated by blanks, tabs, commas or semicolons.
// Blank lines and comment lines (first non-blank characters '#', '%', '!' or "//") are
// skipped, as is one first line of column titles on which no field is a number. A UTF-8
// byte-order mark and CRLF (or CR) line ends are accepted. Numbers are read the same in
// every locale. A field that is not a finite number, or a data line whose number of fields
// differs from the first data line's, fails with a DataFileError naming file and line.
//
// Separators: any run of blanks and tabs is one separator. A comma or semicolon (or the
// extra separator, when given), optionally surrounded by blanks, is one separator too;
// two of them with only blanks between leave an empty field, which fails, as does one
// at the start of a line. One at the end of a line is allowed.
#pragma once

#include "base/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The numbers of a file with, for each row, the 1-based line it came from.
struct DataTable {
    Matrix values;
    std::vector<std::size_t> lines;
};

// Parses file contents already in memory; `name` stands for the file in error messages.
// `extraSeparator` is read like a comma; a blank or tab adds nothing.
DataTable parseDelimitedText(std::string_view text, const std::string& name, char extraSeparator = ' ');

// The path that reads standard input, once, to its end.
inline constexpr const char* kStandardInput = "-";
// How messages name a path: "standard input" for "-", else the path itself.
std::string standardInputName(const std::string& path);

// Reads and parses a file. A missing file fails with the reason "File not found.", a folder
// or device with its own reason; pipes are read to their end. "-" reads standard input.
DataTable readDataTable(const std::string& path, char extraSeparator = ' ');

// The bytes of a data file, with the same refusals as readDataTable.
std::string readDataFile(const std::string& path);

// Text from a file quoted for a message: cut at 40 bytes, control and malformed bytes escaped.
std::string quoteForMessage(std::string_view s);

}  // namespace orvane

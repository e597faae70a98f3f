// The readers behind readDataSet(path, options): text beyond two plain columns, and Touchstone.
#pragma once

#include "formats/data_set.h"

#include <string>
#include <string_view>

namespace orvane {

// File bytes as UTF-8 without a byte-order mark; UTF-16 (LE or BE, with a byte-order mark)
// is converted. Names the encoding in `report`.
std::string decodeDataText(std::string_view raw, const std::string& name, ReadReport& report);

// Text already decoded: a metadata block, a decimal comma, quoted fields, column choice and
// units of x from the header.
DataSet readExtendedText(std::string_view text, const std::string& name, const ReadOptions& options,
                         ReadReport report);

// Touchstone 1.x or 2.0 text already decoded. `ports` comes from a .sNp name (0 when the
// name tells nothing; a version 1 file then fails).
DataSet readTouchstone(std::string_view text, const std::string& name, const ReadOptions& options,
                       std::size_t ports, ReadReport report);

// Ports from a name ending in .sNp (any case), else 0.
std::size_t touchstonePorts(const std::string& path);

// Merges equal abscissae (when asked) and checks that the abscissa increases, as for a
// plain file.
void finishDataSet(const std::string& name, DataSet& set, bool mergeDuplicates);

// Factor from a unit of frequency or time to Hz or s ("MHz" 1e6, "ns" 1e-9); 0 if unknown.
double unitScale(std::string_view unit);

}  // namespace orvane

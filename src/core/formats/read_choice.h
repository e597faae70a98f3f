// How a front end chooses how each data file is read: global options and a per-file suffix
// ("meas.csv:columns=1,3", "dut.s2p:param=S12:quantity=deg").
#pragma once

#include "formats/data_set.h"

#include <string>

namespace orvane {

// Sets one choice ("columns" "1,3", "param" "S21", "quantity" "deg", "x-unit" "MHz",
// "merge-duplicates" ""); throws std::invalid_argument saying what is wrong.
void applyReadChoice(ReadOptions& options, const std::string& key, const std::string& value);

struct FileArgument {
    std::string path;
    ReadOptions options;
};

// Splits a file argument into its path and the choices of its suffix, which start at the
// first ':' after which every ':'-separated part is key=value (or "merge-duplicates"). An
// argument naming an existing file is a path as it stands.
FileArgument parseFileArgument(const std::string& argument, const ReadOptions& defaults);

}  // namespace orvane

// What the data-loading window shows of a file that is not plain two-column text, before
// it is taken: its first lines, what reading found, and the choices the user may change.
#pragma once

#include "formats/data_set.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct ReadPreview {
    std::string path;
    std::vector<std::string> firstLines;  // as decoded, control characters escaped
    ReadReport detected;                  // what reading found (format, columns, unit, skipped lines)
    std::string found;                    // the same in words, for the dialog
    std::string problem;                  // why the file does not load as it stands; empty when it does
    bool touchstone = false;
    std::vector<std::string> columns;     // a text file's columns: "1", "3: S21 [dB]" …
    std::vector<std::string> parameters;  // a Touchstone file's: "S11", "S21" …
    ReadOptions suggested;                // the choices offered first
};

// The preview of `path`, or nothing when the file loads as plain two-column text (or cannot
// be read at all: loading then reports it as before). `phase` offers the phase as the
// quantity of a Touchstone file, else its magnitude in dB.
std::optional<ReadPreview> previewDataFile(const std::string& path, bool phase);

}  // namespace orvane

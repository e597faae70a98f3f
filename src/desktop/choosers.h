// File and folder choosers, answered by real dialogs in the program and by a script in tests.
#pragma once

#include "desktop/read_preview.h"

#include <optional>
#include <string>

namespace orvane {

struct ChosenFile {
    std::string name;    // the file name alone
    std::string folder;  // its folder, ending in a separator
};

class Choosers {
public:
    virtual ~Choosers() = default;
    // The chosen file, or nothing when cancelled. `filter` is the first file type offered.
    virtual std::optional<ChosenFile> chooseFile(const std::string& filter, const std::string& title) = 0;
    // The chosen folder, or the empty text when cancelled.
    virtual std::string chooseFolder(const std::string& prompt, const std::string& start) = 0;
    // How to read a file that is not plain two-column text, after showing its preview; nothing
    // when cancelled.
    virtual std::optional<ReadOptions> chooseReading(const ReadPreview& preview) = 0;
};

}  // namespace orvane

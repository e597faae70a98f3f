// Saving a picture from a window: never over an existing file without asking, and telling
// the user where the file went.
#pragma once

#include "analysis/dialogs.h"

#include <filesystem>
#include <optional>
#include <string>

namespace orvane {

// Where to write `file`: itself when free; when taken, the user chooses "Replace" (itself),
// "Save as New" (the first free "name (2).ext", "name (3).ext", …; the default, so closing
// the question loses nothing) or "Cancel" (nothing).
std::optional<std::filesystem::path> saveTarget(Dialogs& dialogs, const std::filesystem::path& file,
                                                const std::string& title);

// "Saved as NAME in FOLDER".
void tellSaved(Dialogs& dialogs, const std::filesystem::path& file, const std::string& title);

}  // namespace orvane

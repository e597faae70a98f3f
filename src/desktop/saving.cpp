#include "desktop/saving.h"

namespace orvane {

namespace fs = std::filesystem;

std::optional<fs::path> saveTarget(Dialogs& dialogs, const fs::path& file, const std::string& title)
{
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) return file;
    const std::string answer = dialogs.question(
        Question(file.filename().string() + " already exists. Replace it, or save the picture under a new name?",
                 title, {"Replace", "Save as New", "Cancel"}, "Save as New", file.parent_path().string()));
    if (answer == "Replace") return file;
    if (answer != "Save as New") return std::nullopt;
    for (int n = 2;; ++n) {
        fs::path next = file.parent_path() / (file.stem().string() + " (" + std::to_string(n) + ")" +
                                              file.extension().string());
        if (!fs::exists(fs::symlink_status(next, ec))) return next;
    }
}

void tellSaved(Dialogs& dialogs, const fs::path& file, const std::string& title)
{
    dialogs.inform("Saved as " + file.filename().string() + " in " + file.parent_path().string(), title);
}

}  // namespace orvane

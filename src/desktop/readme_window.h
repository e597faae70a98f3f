// Read Me: the read-me in the system's viewer or, when the system cannot open it (no viewer
// set up), in a plain text window of the program's own.
#pragma once

#include <QWidget>

#include <filesystem>
#include <functional>

namespace orvane {

using DocumentOpener = std::function<void(const std::filesystem::path&)>;

// Opens `file` with `open` (the system's opener when not given); an ExtensionError of the
// opener shows it in readMeWindow instead.
void showReadMe(const std::filesystem::path& file, const DocumentOpener& open = {});

// The program's read-me (found beside it or in its installed doc folder) as showReadMe.
void showProgramReadMe();

// The read-me window showing `file` read-only; one at a time, raised when open already.
QWidget* readMeWindow(const std::filesystem::path& file);

}  // namespace orvane

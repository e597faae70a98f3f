// The main window's read-me button.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orvane {

inline constexpr const char* kReadMeFile = "ReadMe_100.txt";

// Makes `startFolder` (the start folder) the current folder and opens ReadMe_100.txt there in the
// desktop's application for text. An error of the opener (for instance
// "Tarvex:openshell:ERROR_FILE_NOT_FOUND " when the start folder holds no read-me) is thrown
// as ExtensionError for the callback dispatch to show.
void openReadMe(const std::string& startFolder);

// Where the read-me of a program in `programFolder` may lie, in the order searched: beside the
// program (the build tree), then the installed documentation folder relative to it.
std::vector<std::filesystem::path> readMePlaces(const std::filesystem::path& programFolder);

// The read-me of the running program, wherever it was started from. Throws orvane::Error
// naming the files looked for when there is none.
std::filesystem::path findProgramReadMe();

// Opens the read-me of the running program, wherever it was started from. Throws orvane::Error
// naming the files looked for when there is none; the opener's errors as openReadMe.
void openProgramReadMe();

}  // namespace orvane

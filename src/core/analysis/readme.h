// The main window's read-me button.
#pragma once

#include <string>

namespace orvane {

inline constexpr const char* kReadMeFile = "ReadMe_100.txt";

// Makes `startFolder` (the start folder) the current folder and opens ReadMe_100.txt there in the
// desktop's application for text. An error of the opener (for instance
// "Tarvex:openshell:ERROR_FILE_NOT_FOUND " when the start folder holds no read-me) is thrown
// as ExtensionError for the callback dispatch to show.
void openReadMe(const std::string& startFolder);

}  // namespace orvane

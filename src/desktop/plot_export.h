// Saving the plot of the results window as a picture.
#pragma once

#include "analysis/session.h"

#include <filesystem>
#include <string>

namespace orvane {

// Where pushbutton10 saves the plot of variable `stem` (no extension): "ADMi magnitude" or
// "ADMi phase" in the analysis folder (T = 1, 2); while browsing, in folder1 with
// " magnitude" or " phase" by the analysis file found there, else with "c".
std::filesystem::path plotExportName(const Session& s, const std::string& stem);

}  // namespace orvane

// Saving the plot of the results window as a picture.
#pragma once

#include "app/session.h"

#include <QWidget>

#include <filesystem>
#include <optional>
#include <string>

namespace orvane {

// Where pushbutton10 saves the plot of variable `stem` (no extension): "ADMi magnitude" or
// "ADMi phase" in the analysis folder (T = 1, 2); while browsing, in folder1 with
// " magnitude" or " phase" by the analysis file found there, else with "c".
std::filesystem::path plotExportName(const Session& s, const std::string& stem);

// savefigure for a window: the picture of every visible plot area of `window` at its place,
// on white, written under `name` after the name checks of savefigure (results/save_target.h).
// Returns the file written; throws Error with the message of the failed check.
std::filesystem::path saveWindowPicture(QWidget& window, const std::string& name,
                                        const std::optional<std::string>& format = std::nullopt);

}  // namespace orvane

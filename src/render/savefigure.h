// Saving a drawn figure as a picture, with the checks and devices of the printing system.
#pragma once

#include "figures/figure.h"

#include <QWidget>

#include <filesystem>
#include <optional>
#include <string>

namespace orvane {

// Saves fig under `name` in `format`, or in the format of the name's extension (BMP when
// there is neither), adding the device's extension to a name without one. The checks fail
// with the messages of resolveSaveTarget (results/save_target.h). Returns the file written.
std::filesystem::path savefigure(const Figure& fig, const std::string& name,
                                 const std::optional<std::string>& format = std::nullopt);

// The same for a window: the picture of every visible plot area of `window` at its place, on
// white, in a raster format (bmp, png, jpeg).
std::filesystem::path savefigure(QWidget& window, const std::string& name,
                                 const std::optional<std::string>& format = std::nullopt);

}  // namespace orvane

// Where and how a window is saved as a picture: the name checks and the output device.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orvane {

struct SaveTarget {
    std::filesystem::path path;  // the name, with the device's extension when it had none
    std::string device;          // "bmp", "png", "jpeg", "pdf" or "svg"
};

// The checks of savefigure, with its messages: no "*" in the name, an extension that is
// not just ".", a base name, an existing folder, and a format (given, or taken from the
// extension; a name without extension saves as BMP) that an output device writes.
// Throws Error with the message of the first check that fails.
SaveTarget resolveSaveTarget(const std::string& name, const std::optional<std::string>& format = std::nullopt);

}  // namespace orvane

// The picture renderer as the batch command sees it: Qt lives in a module that is loaded only
// when pictures are wanted, so a run that writes figure files (or nothing) never loads Qt.
#pragma once

#include "figures/figure.h"

#include <filesystem>
#include <memory>
#include <string>

namespace orvane {

class PictureBackend {
public:
    virtual ~PictureBackend() = default;

    // Queues fig to be written as `path` in `format` ("png", "svg", "pdf", "bmp", "jpg").
    // Throws orvane::Error naming the file when it cannot be drawn or an earlier one failed.
    virtual void submit(const Figure& fig, const std::filesystem::path& path, const std::string& format) = 0;

    // Waits until every queued picture is written; throws the first failure not yet reported.
    virtual void finish() = 0;

    // Draws a saved figure file as a picture, at once. Throws orvane::Error naming the file.
    virtual void renderFile(const std::filesystem::path& figureFile, const std::filesystem::path& picture,
                            const std::string& format) = 0;
};

// The module's one entry, and the interface version both sides were built with: a module of
// another version returns nullptr instead of an object laid out differently.
inline constexpr const char* kPictureModuleFile = "liborvane_picture.so";
inline constexpr const char* kPictureModuleEntry = "orvane_picture_backend";
// `qtMessages` lets Qt's own messages through to stderr; otherwise they are dropped.
inline constexpr int kPictureBackendVersion = 2;
using PictureBackendFactory = PictureBackend* (*)(int version, bool qtMessages);

// Loads the picture module (found as the extensions are, see findModuleFile) and starts its
// renderer. Throws orvane::Error when the module is missing, cannot be loaded or cannot draw.
// The module stays loaded for the rest of the run.
std::unique_ptr<PictureBackend> loadPictureBackend(bool qtMessages = false);

}  // namespace orvane

// Whole-file writes that never leave a partial file under the final name.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace orvane {

// Writes `text` to a fresh file beside `path` and renames it onto `path`, so readers see
// either the old file or the complete new one. Throws Error naming `path` on failure; the
// fresh file is then removed and an existing file at `path` is left as it was.
void writeFileAtomically(const std::filesystem::path& path, std::string_view text);

// The same for a text made of pieces, written in order (spares joining a large text first).
void writeFileAtomically(const std::filesystem::path& path, std::span<const std::string> pieces);

}  // namespace orvane

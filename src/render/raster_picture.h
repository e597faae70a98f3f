// Raster pictures of plots written to files: PNG through our own fast encoder, BMP and JPEG through Qt.
#pragma once

#include <QImage>

#include <filesystem>
#include <string>

namespace orvane {

// The complete PNG file of `image` (alpha is dropped). Plot pictures are mostly long runs
// of one colour, which run-length deflate packs nearly as tightly as zlib's default level
// at a fraction of the time of Qt's own writer.
std::string encodePng(const QImage& image);

// Writes `image` as "png", "bmp", "jpg" or "jpeg" under a hidden name beside `path`, then
// renames it, so the file appears complete or not at all. Any thread. Throws orvane::Error
// naming the file.
void writeRasterPicture(const QImage& image, const std::filesystem::path& path, const std::string& format);

}  // namespace orvane

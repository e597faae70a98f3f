// Raster pictures of plots written to files: PNG through our own fast encoder, BMP and JPEG
// through Qt, all as bytes in memory handed to the one atomic writer.
#pragma once

#include <QImage>

#include <filesystem>
#include <functional>
#include <string>

namespace orvane {

// The complete PNG file of `image` (alpha is dropped). Plot pictures are mostly long runs
// of one colour, which run-length deflate packs nearly as tightly as zlib's default level
// at a fraction of the time of Qt's own writer.
std::string encodePng(const QImage& image);

// The complete file of `image` as "png", "bmp", "jpg" or "jpeg". Throws orvane::Error.
std::string encodePicture(const QImage& image, const std::string& format);

// Writes the bytes `encode` makes to `path` through the one atomic writer, so the file
// appears complete or not at all. Any thread. Throws orvane::Error naming the file.
void writePictureBytes(const std::filesystem::path& path, const std::function<std::string()>& encode);

// Both at once.
void writeRasterPicture(const QImage& image, const std::filesystem::path& path, const std::string& format);

}  // namespace orvane

// Raster pictures of plots written to files: PNG through libpng, BMP and JPEG
// through Qt, all as bytes in memory handed to the one atomic writer.
#pragma once

#include <QImage>

#include <filesystem>
#include <functional>
#include <string>

namespace orvane {

// The complete PNG file of `image` (alpha is dropped), written by libpng at zlib's fastest
// level without row filters: far quicker than Qt's own writer, nearly as small.
std::string encodePng(const QImage& image);

// The complete file of `image` as "png", "bmp", "jpg" or "jpeg". Throws orvane::Error.
std::string encodePicture(const QImage& image, const std::string& format);

// Writes the bytes `encode` makes to `path` through the one atomic writer, so the file
// appears complete or not at all. Any thread. Throws orvane::Error naming the file.
void writePictureBytes(const std::filesystem::path& path, const std::function<std::string()>& encode);

// Both at once.
void writeRasterPicture(const QImage& image, const std::filesystem::path& path, const std::string& format);

}  // namespace orvane

#include "render/raster_picture.h"

#include "base/error.h"
#include "formats/file_write.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <functional>
#include <vector>

namespace orvane {

namespace {

// libpng's output, appended to the file's bytes in memory.
void appendBytes(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}

void noFlush(png_structp) {}

}  // namespace

std::string encodePng(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width();
    const int h = rgb.height();
    if (rgb.isNull() || w == 0 || h == 0) throw Error("Cannot encode an empty picture.");

    // Everything the error jump may return to lives before setjmp and is only reached through
    // pointers afterwards.
    std::string out;
    std::vector<png_bytep> rows(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(rgb.constScanLine(y));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw Error("Cannot start the PNG compressor.");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw Error("Cannot compress the picture.");
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    // Fast first: plot pictures are mostly long runs of one colour, which zlib's fastest level
    // packs well; unfiltered rows cost nothing to prepare.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string encodePicture(const QImage& image, const std::string& format)
{
    if (format == "png") return encodePng(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == "jpeg" ? "jpg" : format.c_str());
    if (!writer.write(image)) throw Error(writer.errorString().toStdString());
    return bytes.toStdString();
}

void writePictureBytes(const std::filesystem::path& path, const std::function<std::string()>& encode)
{
    std::string why;
    try {
        writeFileAtomically(path, encode());
        return;
    } catch (const FileWriteError& e) {
        why = e.systemError() ? std::strerror(e.systemError()) : "";
    } catch (const Error& e) {
        why = e.what();
    }
    throw Error("Cannot write the figure file \"" + path.string() + "\"" + (why.empty() ? "." : ": " + why + "."));
}

void writeRasterPicture(const QImage& image, const std::filesystem::path& path, const std::string& format)
{
    writePictureBytes(path, [&] { return encodePicture(image, format); });
}

}  // namespace orvane

#include "render/raster_picture.h"

#include "base/error.h"
#include "formats/file_write.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace orvane {

namespace {

void put32(std::string& out, std::uint32_t v)
{
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
    out.append(b, 4);
}

void chunk(std::string& out, const char* type, const unsigned char* data, std::size_t size)
{
    put32(out, static_cast<std::uint32_t>(size));
    const std::size_t start = out.size();
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data), size);
    const auto* typed = reinterpret_cast<const Bytef*>(out.data() + start);
    put32(out, static_cast<std::uint32_t>(crc32(0, typed, static_cast<uInt>(size + 4))));
}

}  // namespace

std::string encodePng(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const auto w = static_cast<std::size_t>(rgb.width());
    const auto h = static_cast<std::size_t>(rgb.height());
    if (rgb.isNull() || w == 0 || h == 0) throw Error("Cannot encode an empty picture.");

    // Every row: filter byte 0 (none), then the row's RGB bytes.
    const std::size_t stride = 3 * w + 1;
    std::vector<unsigned char> raw(stride * h);
    for (std::size_t y = 0; y < h; ++y) {
        raw[y * stride] = 0;
        std::memcpy(&raw[y * stride + 1], rgb.constScanLine(static_cast<int>(y)), 3 * w);
    }

    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) throw Error("Cannot start the PNG compressor.");
    std::vector<unsigned char> packed(deflateBound(&z, static_cast<uLong>(raw.size())));
    z.next_in = raw.data();
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    const int status = deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END) throw Error("Cannot compress the picture.");

    std::string out("\x89PNG\r\n\x1a\n", 8);
    unsigned char header[13] = {};
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<unsigned char>(w >> (24 - 8 * i));
        header[4 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
    }
    header[8] = 8;  // bits per channel
    header[9] = 2;  // truecolour RGB
    chunk(out, "IHDR", header, sizeof header);
    chunk(out, "IDAT", packed.data(), packed.size());
    chunk(out, "IEND", nullptr, 0);
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

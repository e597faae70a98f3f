#include "figures/save_target.h"

#include "base/error.h"

#include <array>

namespace fs = std::filesystem;

namespace orvane {

namespace {

// The printing system's output devices and the file extension of each, in search order.
struct Device {
    const char* name;
    const char* extension;
};
constexpr std::array<Device, 5> kDevices = {{
    {"bmp", "bmp"}, {"png", "png"}, {"jpeg", "jpg"}, {"pdf", "pdf"}, {"svg", "svg"}}};

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

const Device* findDevice(const std::string& format)
{
    for (const Device& d : kDevices)
        if (startsWith(d.extension, format)) return &d;
    for (const Device& d : kDevices)
        if (format == d.name) return &d;
    for (const Device& d : kDevices)
        if (startsWith(d.name, format)) return &d;
    return nullptr;
}

}  // namespace

SaveTarget resolveSaveTarget(const std::string& name, const std::optional<std::string>& format)
{
    if (name.find('*') != std::string::npos)
        throw Error("Invalid filename: " + name + ", * is not a valid filename character.");
    // Folder, base name and extension; the extension runs from the last dot of the file
    // name, so ".bmp" has no base name and "a." has the extension ".".
    const fs::path path(name);
    const fs::path folder = path.parent_path();
    const std::string file = path.filename().string();
    const std::size_t dot = file.rfind('.');
    const std::string base = dot == std::string::npos ? file : file.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : file.substr(dot);
    if (extension == ".") throw Error("Invalid extension: " + name);
    const bool hadExtension = !extension.empty();
    if (!hadExtension) extension = ".bmp";
    if (base.empty()) throw Error("Invalid filename: " + name);
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec)) throw Error("Invalid or missing path: " + name);
    const std::string chosen = format ? *format : extension.substr(1);
    const Device* device = chosen.empty() ? nullptr : findDevice(chosen);
    if (!device) throw Error("Unsupported format or extension: " + chosen);
    SaveTarget target{path, device->name};
    if (!hadExtension) target.path += std::string(".") + device->extension;
    return target;
}

}  // namespace orvane

// The runtime's extension loader: runs an extension module, a shared library that is found
// by the extension's name at run time and called through its C entry (extension_api.h).
#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace orvane {

// An input handed to an extension: text or a number.
class ExtensionValue {
public:
    ExtensionValue(std::string text) : value_(std::move(text)) {}
    ExtensionValue(const char* text) : value_(std::string(text)) {}
    ExtensionValue(double number) : value_(number) {}

    bool isText() const { return std::holds_alternative<std::string>(value_); }
    const std::string& text() const { return std::get<std::string>(value_); }
    double number() const { return std::get<double>(value_); }

private:
    std::variant<std::string, double> value_;
};

// Runs the extension `name` with `inputs` and no outputs. An error the extension reports is
// thrown as ExtensionError with its identifier and message unchanged. An extension that is
// unknown or cannot be loaded gives an ExtensionError whose identifier begins with
// "orvane:extension:".
void callExtension(const std::string& name, const std::vector<ExtensionValue>& inputs);

// The library file of the extension `name` as the loader would find it now, or an empty path.
// Searched, in order: the folders in the environment variable ORVANE_EXTENSION_PATH
// (separated by ':'), the installed extension folder relative to the program, the program's
// ../lib (the build tree) and the program's own folder.
std::filesystem::path findExtension(const std::string& name);

// The module library `file` (e.g. "liborvane_picture.so") in the same folders, or an empty path.
std::filesystem::path findModuleFile(const std::string& file);

}  // namespace orvane

// Errors carry the text the user should read; the top of each program decides how to show it.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace orvane {

// A failure the user can cause or mend (bad input, an impossible grid, a failed write).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A data file that cannot be used. `path` names the file; `line` is 1-based, 0 when the
// fault is not tied to one line. what() already holds the path and line.
class DataFileError : public Error {
public:
    DataFileError(std::string path, std::size_t line, const std::string& message);
    const std::string& path() const { return path_; }
    std::size_t line() const { return line_; }
    // The message without the location ("File not found.").
    const std::string& reason() const { return reason_; }

private:
    std::string path_;
    std::size_t line_;
    std::string reason_;
};

// An error reported by an extension module, with its identifier
// ("Tarvex:openshell:SE_ERR_NOASSOC") and message unchanged; what() is the message.
class ExtensionError : public Error {
public:
    ExtensionError(std::string identifier, const std::string& message)
        : Error(message), identifier_(std::move(identifier))
    {
    }
    const std::string& identifier() const { return identifier_; }

private:
    std::string identifier_;
};

}  // namespace orvane

#include "base/error.h"

namespace orvane {

namespace {
std::string locate(const std::string& path, std::size_t line, const std::string& message)
{
    std::string where = path;
    if (line > 0) where += ", line " + std::to_string(line);
    return where + ": " + message;
}
}  // namespace

DataFileError::DataFileError(std::string path, std::size_t line, const std::string& message)
    : Error(locate(path, line, message)), path_(std::move(path)), line_(line), reason_(message)
{
}

}  // namespace orvane

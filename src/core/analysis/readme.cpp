#include "analysis/readme.h"

#include "base/shellopenfile.h"

#include <filesystem>
#include <system_error>

namespace orvane {

void openReadMe(const std::string& startFolder)
{
    std::error_code ec;
    std::filesystem::current_path(startFolder, ec);
    // The folder is named explicitly, so a start folder that has gone away is reported by the
    // opener ("Tarvex:openshell:ERROR_PATH_NOT_FOUND") like any other failure to open.
    shellopenfileIn(startFolder, kReadMeFile);
}

}  // namespace orvane

#include "analysis/readme.h"

#include "base/shellopenfile.h"

#include <filesystem>
#include <system_error>

namespace orvane {

void openReadMe(const std::string& origdir)
{
    std::error_code ec;
    std::filesystem::current_path(origdir, ec);
    // The folder is named explicitly, so a start folder that has gone away is reported by the
    // opener ("Tarvex:openshell:ERROR_PATH_NOT_FOUND") like any other failure to open.
    shellopenfileIn(origdir, kReadMeFile);
}

}  // namespace orvane

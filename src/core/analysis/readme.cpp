#include "analysis/readme.h"

#include "base/error.h"
#include "base/shellopenfile.h"

#include <filesystem>
#include <system_error>

#ifndef ORVANE_DOC_INSTALL_DIR
#define ORVANE_DOC_INSTALL_DIR "../share/doc/orvane"
#endif

namespace orvane {

namespace fs = std::filesystem;

void openReadMe(const std::string& startFolder)
{
    std::error_code ec;
    fs::current_path(startFolder, ec);
    // The folder is named explicitly, so a start folder that has gone away is reported by the
    // opener ("Tarvex:openshell:ERROR_PATH_NOT_FOUND") like any other failure to open.
    shellopenfileIn(startFolder, kReadMeFile);
}

std::vector<fs::path> readMePlaces(const fs::path& programFolder)
{
    return {programFolder / kReadMeFile, (programFolder / ORVANE_DOC_INSTALL_DIR / kReadMeFile).lexically_normal()};
}

fs::path findProgramReadMe()
{
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) throw Error(std::string("Cannot find the read-me ") + kReadMeFile + ": the program's own folder is unknown.");
    const std::vector<fs::path> places = readMePlaces(program.parent_path());
    for (const fs::path& place : places)
        if (fs::is_regular_file(place, ec)) return place;
    throw Error("Cannot find the read-me: neither " + places[0].string() + " nor " + places[1].string() + " exists.");
}

void openProgramReadMe()
{
    const fs::path place = findProgramReadMe();
    shellopenfileIn(place.parent_path().string(), place.filename().string());
}

}  // namespace orvane

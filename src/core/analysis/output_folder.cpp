#include "analysis/output_folder.h"

#include "base/error.h"
#include "formats/file_write.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace orvane {

namespace {

constexpr const char* kMarkerText =
    "This analysis did not finish: the files in this folder may be incomplete or missing.\n";

std::string reason(int err) { return std::strerror(err); }

}  // namespace

bool isIncompleteAnalysis(const fs::path& folder)
{
    struct stat st {};
    return ::lstat((folder / kIncompleteMarker).c_str(), &st) == 0;
}

AnalysisFolder::AnalysisFolder(const fs::path& parent, const std::string& base)
{
    for (int i = 0;; ++i) {
        fs::path candidate = parent / (i == 0 ? base : base + "_" + std::to_string(i));
        if (::mkdir(candidate.c_str(), 0777) == 0) {
            path_ = std::move(candidate);
            break;
        }
        if (errno != EEXIST) throw Error("Cannot create the folder " + candidate.string() + ": " + reason(errno));
        if (i >= 100000) throw Error("Cannot find a free name for the folder " + (parent / base).string());
    }
    writeFileAtomically(path_ / kIncompleteMarker, kMarkerText);
}

void AnalysisFolder::complete()
{
    if (::unlink((path_ / kIncompleteMarker).c_str()) != 0 && errno != ENOENT)
        throw Error("Cannot remove " + (path_ / kIncompleteMarker).string() + ": " + reason(errno));
}

void AnalysisFolder::abandon() noexcept
{
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(path_, ec))
        if (e.path().filename() != kIncompleteMarker) return;
    if (ec) return;
    ::unlink((path_ / kIncompleteMarker).c_str());
    ::rmdir(path_.c_str());
}

fs::path makeThresholdFolder(const fs::path& folder, const std::string& name)
{
    const fs::path path = folder / name;
    if (::mkdir(path.c_str(), 0777) == 0) return path;
    const int err = errno;
    struct stat st {};
    if (err == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return path;
    throw Error("Cannot create the folder " + path.string() + ": " +
                (err == EEXIST ? std::string("a file or link of that name is in the way") : reason(err)));
}

}  // namespace orvane

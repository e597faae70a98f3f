#include "analysis/output_folder.h"

#include "base/error.h"
#include "formats/file_write.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
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

namespace {

// Removes a staging folder that never took its final name, with the marker in it.
void removeStaging(const fs::path& staging) noexcept
{
    ::unlink((staging / kIncompleteMarker).c_str());
    ::rmdir(staging.c_str());
}

// Makes a hidden folder beside parent/base that holds the marker. Throws Error.
fs::path makeMarkedStaging(const fs::path& parent, const std::string& base)
{
    for (int attempt = 0;; ++attempt) {
        fs::path staging = parent / hiddenTemporaryName(parent / base);
        if (::mkdir(staging.c_str(), 0777) == 0) {
            try {
                writeFileAtomically(staging / kIncompleteMarker, kMarkerText);
            } catch (...) {
                removeStaging(staging);
                throw;
            }
            return staging;
        }
        if (errno != EEXIST || attempt >= 100)
            throw Error("Cannot create the folder " + (parent / base).string() + ": " + reason(errno));
    }
}

}  // namespace

AnalysisFolder::AnalysisFolder(const fs::path& parent, const std::string& base)
{
    // The folder takes its name with the marker already inside: a run killed at any moment
    // leaves no analysis folder that looks complete. The rename never replaces anything
    // (an empty folder of that name included), so concurrent runs never share a folder.
    const fs::path staging = makeMarkedStaging(parent, base);
    for (int i = 0;; ++i) {
        fs::path candidate = parent / (i == 0 ? base : base + "_" + std::to_string(i));
        if (::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0) {
            path_ = std::move(candidate);
            syncFolder(parent);
            return;
        }
        const int err = errno;
        if (err == EEXIST && i < 100000) continue;
        removeStaging(staging);
        if (err == EINVAL || err == ENOSYS) {
            makeThenMark(parent, base);  // a file system that cannot rename without replacing
            return;
        }
        if (err == EEXIST) throw Error("Cannot find a free name for the folder " + (parent / base).string());
        throw Error("Cannot create the folder " + candidate.string() + ": " + reason(err));
    }
}

void AnalysisFolder::makeThenMark(const fs::path& parent, const std::string& base)
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

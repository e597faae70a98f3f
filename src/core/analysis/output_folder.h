// The analysis sub-folder: made exclusively, marked incomplete until the run ends.
#pragma once

#include <filesystem>
#include <string>

namespace orvane {

// Lies in an analysis folder while its run is going on or after it failed part-way; a
// complete run leaves none.
inline constexpr const char* kIncompleteMarker = "ANALYSIS_INCOMPLETE.txt";

// True when the analysis folder carries the incomplete marker.
bool isIncompleteAnalysis(const std::filesystem::path& folder);

// Makes the first free folder of base, base_1, base_2, … in parent. A name is free when
// nothing of that name exists (a file, a folder or a symlink, dangling or not); the folder
// is made with mkdir, which fails on any existing name, so concurrent runs never share one.
// The new folder holds the incomplete marker. Throws Error naming the folder on failure.
class AnalysisFolder {
public:
    AnalysisFolder(const std::filesystem::path& parent, const std::string& base);
    const std::filesystem::path& path() const { return path_; }
    // The run finished: the marker goes.
    void complete();
    // The run failed: a folder that holds nothing but the marker is removed; otherwise the
    // marker stays and says why the files may be incomplete.
    void abandon() noexcept;

private:
    // mkdir under the final name, then the marker: for file systems without an exclusive
    // rename; a run killed in between leaves a folder without the marker.
    void makeThenMark(const std::filesystem::path& parent, const std::string& base);

    std::filesystem::path path_;
};

// Makes the threshold folder `name` inside the analysis folder, or takes the folder of that
// name that is already there (a symlink is not taken). Throws Error on failure.
std::filesystem::path makeThresholdFolder(const std::filesystem::path& folder, const std::string& name);

}  // namespace orvane

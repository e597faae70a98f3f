// The result MAT-files of an analysis: writing them, and reading them back for the windows.
//
// Layout (Level 5, uncompressed unless asked for zlib): a per-set list is a 1 × (N_DATA+1) cell array, the last
// cell the average set; columns are L × 1 doubles, scalars 1 × 1 doubles, text a 1 × n char
// array, and a grade or spread record a 1 × 1 struct with fields `value` and `range`. The
// variables of an analysis file are listed in analysis/analysis_file_layout.h.
//
// Files are written under a temporary name in the target folder and renamed into place when
// complete: a failed write leaves no partial file under the final name and keeps an older
// file of that name as it was.
#pragma once

#include "analysis/analysis.h"
#include "base/error.h"
#include "formats/mat_compression.h"
#include "formats/mat_error.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

inline constexpr const char* kMagnitudeAnalysisFile = "MagnitudeAnalysis.mat";
inline constexpr const char* kPhaseAnalysisFile = "PhaseAnalysis.mat";
inline constexpr const char* kGradeSpreadFile = "GRADE_SPREAD.mat";
inline constexpr const char* kCombinedAnalysisFile = "CombinedAnalysis.mat";

// "MagnitudeAnalysis.mat" for T = 1, "PhaseAnalysis.mat" for T = 2.
const char* analysisFileName(int T);

// ---- writing ---------------------------------------------------------------------------

// Writes the analysis file `fileName` (analysisFileName(T); "CombinedAnalysis.mat" has the
// same layout) into `folder` and gives its path. D and S_MARKER come from the session.
// Throws ResultFileError, also for lists that do not hold N_DATA+1 entries.
std::filesystem::path writeAnalysisFile(const std::filesystem::path& folder, const std::string& fileName,
                                        const AnalysisResult& r, int D, const std::string& S_MARKER,
                                        matfile::Compression compression = matfile::Compression::None);

// Writes "GRADE_SPREAD.mat" into `folder`: 11 variables with the weights, 9 when Kadm and
// Kfdm are null. Replaces an existing file. Throws ResultFileError.
std::filesystem::path writeGradeSpreadFile(const std::filesystem::path& folder, int D, std::size_t N_DATA,
                                           const std::string& S_MARKER, const GradeSpread& ADM, const GradeSpread& FDM,
                                           const GradeSpread& GDM, const Vec* Kadm = nullptr,
                                           const Vec* Kfdm = nullptr,
                                           matfile::Compression compression = matfile::Compression::None);

// ---- reading ---------------------------------------------------------------------------

// A result file opened for reading. Every getter checks class, shape and data size of what
// it reads and throws ResultFileError naming the file and variable. Orientation is not
// checked where it carries no meaning: column() and row() take either, and a list may be
// a column of cells. Numbers stored as another numeric class are converted to double,
// text stored with 1- or 2-byte characters to UTF-8. `count`, where given, is the number
// of entries the caller expects (N_DATA+1); `length` the number of values in each.
//
// A damaged file is read up to its first damaged variable: matio cannot step over it.
// Not for use from several threads at once.
class ResultFile {
public:
    explicit ResultFile(std::filesystem::path path);
    ~ResultFile();
    ResultFile(ResultFile&&) noexcept;
    ResultFile& operator=(ResultFile&&) noexcept;

    const std::string& path() const { return path_; }
    bool has(const std::string& name) const;

    double scalar(const std::string& name) const;
    std::string text(const std::string& name) const;
    Vec column(const std::string& name, std::optional<std::size_t> length = {}) const;
    Vec row(const std::string& name, std::optional<std::size_t> length = {}) const;

    SetList columns(const std::string& name, std::optional<std::size_t> count = {},
                    std::optional<std::size_t> length = {}) const;
    SpectrumList spectra(const std::string& name, std::optional<std::size_t> count = {},
                         std::optional<std::size_t> length = {}) const;
    // A cell of scalars; a plain numeric vector is taken too.
    Vec scalars(const std::string& name, std::optional<std::size_t> count = {}) const;
    HistogramList histograms(const std::string& name, std::optional<std::size_t> count = {}) const;
    std::vector<Triple> triples(const std::string& name, std::optional<std::size_t> count = {}) const;
    // A cell of 1 × 1 structs {value, range}; a struct array is taken too.
    GradeList records(const std::string& name, std::optional<std::size_t> count = {}) const;

    // D checked to be 0 or 1, N_DATA a whole number of data sets (2 … 8).
    int domain() const;
    std::size_t dataSets() const;
    // What set N_DATA+1 is: 0 the average (also for files without "Reference"), k a copy of
    // set k, checked to be one of the N_DATA sets.
    std::size_t referenceSet(std::size_t N_DATA) const;

private:
    struct Impl;
    std::string path_;
    std::unique_ptr<Impl> impl_;
};

// Everything an analysis file (or "CombinedAnalysis.mat") holds.
struct LoadedAnalysis {
    int D = 0;
    std::string S_MARKER;
    AnalysisResult result;
};
LoadedAnalysis loadAnalysisFile(const std::filesystem::path& path);

struct LoadedGradeSpread {
    int D = 0;
    std::size_t N_DATA = 0;
    std::string S_MARKER;
    GradeSpread ADM, FDM, GDM;
    std::optional<Vec> Kadm, Kfdm;  // absent in the 9-variable file
};
LoadedGradeSpread loadGradeSpreadFile(const std::filesystem::path& path);

}  // namespace orvane

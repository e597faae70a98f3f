// What every MAT-file the program writes or reads goes through: the atomic writer, the
// checked reader (result_scan before matio), and checked access to what matio read.
// Failures are ResultFileErrors naming the file and the variable.
#pragma once

#include "base/types.h"
#include "formats/file_write.h"
#include "formats/mat_compression.h"
#include "formats/mat_error.h"
#include "formats/mat_scan.h"

#include <matio.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace orvane::matfile {

using Kind = ResultFileError::Kind;

struct VarFree {
    void operator()(matvar_t* v) const { Mat_VarFree(v); }
};
using VarPtr = std::unique_ptr<matvar_t, VarFree>;

[[noreturn]] void writeFailed(const std::filesystem::path& file, const std::string& why,
                              const std::string& variable = "");

// ": <strerror>" for a nonzero errno, nothing for 0.
std::string systemReason(int err);

// ---- writing ---------------------------------------------------------------------------

// Writes `folder`/`name` under a temporary name; commit() checks it and renames it into
// place. Without commit() nothing appears under the final name.
class Writer {
public:
    Writer(const std::filesystem::path& folder, const std::string& name, Compression compression = Compression::None);

    // Writes one batch: the first creates the file, later ones add to it. A name written
    // before is replaced. Clears `vars`.
    void write(std::vector<VarPtr>& vars);

    // A short write that matio did not notice (a full disk) shows as a damaged file here.
    std::filesystem::path commit();

private:
    void checkWritten() const;

    std::filesystem::path final_;
    std::optional<AtomicFile> temp_;
    bool created_ = false;
    Compression compression_;
    std::set<std::string> written_;
};

// ---- reading ---------------------------------------------------------------------------

// A MAT-file opened for reading, indexed and checked variable by variable before matio
// is let near it. Not for use from several threads at once.
class Reader {
public:
    explicit Reader(std::string path);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    const std::string& path() const { return path_; }
    bool has(const std::string& name) const;
    // The whole variable; throws when it is missing or it (or one before it) is damaged.
    VarPtr read(const std::string& name);

private:
    const std::string& problemOf(std::size_t i);

    std::string path_;
    int fd_ = -1;
    Layout layout_;
    FileIndex index_;
    mat_t* mat_ = nullptr;
    std::vector<std::optional<std::string>> problems_;  // per variable, once checked: "" when sound
};

// Where a read is: file, variable, and the entry inside the variable ("entry 2", "entry 2
// field range"), for the messages.
struct Where {
    const std::string& file;
    std::string variable;
    std::string entry;

    [[noreturn]] void fail(Kind kind, const std::string& what) const
    {
        throw ResultFileError(kind, file, variable, entry.empty() ? what : entry + " " + what);
    }
    Where at(std::size_t k) const
    {
        return {file, variable, (entry.empty() ? "" : entry + " ") + "entry " + std::to_string(k + 1)};
    }
    Where field(const char* name) const { return {file, variable, entry + " field " + name}; }
};

// "a 64×1 double array", "a 1×3 cell array"
std::string describe(const matvar_t* v);
std::size_t elementCount(const matvar_t* v, const Where& w);
// At most one dimension other than 1: a row, a column or an empty array.
bool vectorShaped(const matvar_t* v, std::size_t n);

// Numbers of any numeric class come back as doubles; orientation is not checked.
Vec realVector(const matvar_t* v, const Where& w, std::optional<std::size_t> length, const char* expected);
CVec complexVector(const matvar_t* v, const Where& w, std::optional<std::size_t> length);
double realScalar(const matvar_t* v, const Where& w);
// One line of text as UTF-8, whatever the character size it was stored with.
std::string charRow(const matvar_t* v, const Where& w);
// The entries of a cell array stored as a row or a column.
std::span<matvar_t* const> cellEntries(const matvar_t* v, const Where& w, std::optional<std::size_t> count);
// Field `name` of element `index` of struct `v`; nullptr when the struct has no such field.
// `index` must be below elementCount(v).
const matvar_t* structField(const matvar_t* v, std::size_t index, const char* name, const Where& w);

}  // namespace orvane::matfile

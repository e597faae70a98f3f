// The one way the program writes a file: never a partial file under the final name.
//
// The data go into a fresh file in the target's folder, made with O_EXCL|O_NOFOLLOW under
// an unpredictable name (a planted file or symlink is never opened, let alone written
// through), are synced to disk, and the fresh file is renamed onto the target; the folder
// is synced too. On any failure the fresh file is removed and a file already at the target
// stays as it was.
#pragma once

#include "base/error.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace orvane {

// What went wrong, for writers that word their own messages (the MAT-file writer).
class FileWriteError : public Error {
public:
    enum class Step { Create, Write, Replace };
    FileWriteError(Step step, int err, const std::string& message) : Error(message), step_(step), err_(err) {}
    Step step() const { return step_; }
    int systemError() const { return err_; }  // errno, 0 when there is none

private:
    Step step_;
    int err_;
};

// A file being written: the fresh file exists from construction on; commit() puts it in
// place, destruction without commit() removes it.
class AtomicFile {
public:
    // Names for the fresh file; the default draws random ones. `attempt` counts names that
    // were taken already.
    using NameSource = std::function<std::string(const std::filesystem::path& target, unsigned attempt)>;

    explicit AtomicFile(std::filesystem::path target, NameSource names = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const std::filesystem::path& target() const { return target_; }
    // Open for reading and writing, for writers that stream or check what they wrote.
    int fd() const { return fd_; }
    // "/proc/self/fd/<fd>": the same file for libraries that only open by name, reached
    // without looking up a name in the target's folder.
    std::string descriptorPath() const;
    // A stream on the descriptor, made on first use; commit() flushes and checks it.
    std::FILE* stream();

    void write(std::string_view bytes);
    void write(std::span<const std::string> pieces);

    // Sync, rename onto the target, sync the folder. Throws FileWriteError.
    void commit();

private:
    [[noreturn]] void fail(FileWriteError::Step step, int err) const;
    void discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    std::FILE* stream_ = nullptr;
    bool committed_ = false;
};

// A hidden, unpredictable name for something made beside `target` before it takes the
// target's name: ".<target name>.<random>.tmp".
std::string hiddenTemporaryName(const std::filesystem::path& target);

// Syncs a folder, so that a rename in it survives a crash. Failures are ignored: the
// rename stands, only its durability is not forced.
void syncFolder(const std::filesystem::path& folder);

// Writes `text` to `path` through an AtomicFile. Throws FileWriteError naming `path`.
void writeFileAtomically(const std::filesystem::path& path, std::string_view text);

// The same for a text made of pieces, written in order (spares joining a large text first).
void writeFileAtomically(const std::filesystem::path& path, std::span<const std::string> pieces);

}  // namespace orvane

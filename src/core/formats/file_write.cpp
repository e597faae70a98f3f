#include "formats/file_write.h"

#include "base/system_error_text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

std::string randomName(const fs::path& target, unsigned) { return hiddenTemporaryName(target); }

}  // namespace

// Unpredictable, so that nobody can plant something at the name before we create it.
std::string hiddenTemporaryName(const fs::path& target)
{
    thread_local std::mt19937_64 random{[] {
        std::random_device device;
        return (std::uint64_t{device()} << 32) ^ device();
    }()};
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    return "." + target.filename().string() + suffix;
}

void syncFolder(const fs::path& folder)
{
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;  // the rename stands; only its durability is not forced
    ::fsync(dir);
    ::close(dir);
}

namespace {

// writev only reads through the pointers; the const_cast is for its iovec type.
iovec piece(std::string_view s) { return {const_cast<char*>(s.data()), s.size()}; }

}  // namespace

AtomicFile::AtomicFile(fs::path target, NameSource names) : target_(std::move(target))
{
    if (!names) names = randomName;
    const fs::path folder = target_.parent_path();
    for (unsigned attempt = 0;; ++attempt) {
        temporary_ = folder / names(target_, attempt);
        // 0666 before the umask: the file gets the same rights as any file the user makes.
        fd_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0) return;
        if (errno != EEXIST || attempt >= 100) {
            const int err = errno;
            temporary_.clear();
            throw FileWriteError(FileWriteError::Step::Create, err,
                                 "Could not open file " + target_.string() + ": " + systemErrorText(err));
        }
    }
}

AtomicFile::~AtomicFile()
{
    if (!committed_) discard();
}

void AtomicFile::discard() noexcept
{
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (fd_ >= 0) {
        // Only our own file: whatever may have been put at its name since is left alone.
        struct stat own{}, named{};
        if (!temporary_.empty() && ::fstat(fd_, &own) == 0 && ::lstat(temporary_.c_str(), &named) == 0 &&
            own.st_dev == named.st_dev && own.st_ino == named.st_ino)
            ::unlink(temporary_.c_str());
        ::close(fd_);
        fd_ = -1;
    }
}

void AtomicFile::fail(FileWriteError::Step step, int err) const
{
    const std::string why = err ? ": " + systemErrorText(err) : "";
    throw FileWriteError(step, err, "Could not write " + target_.string() + why);
}

std::string AtomicFile::descriptorPath() const { return "/proc/self/fd/" + std::to_string(fd_); }

std::FILE* AtomicFile::stream()
{
    if (!stream_) {
        const int copy = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) fail(FileWriteError::Step::Write, errno);
        stream_ = ::fdopen(copy, "w+b");
        if (!stream_) {
            const int err = errno;
            ::close(copy);
            fail(FileWriteError::Step::Write, err);
        }
    }
    return stream_;
}

void AtomicFile::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(FileWriteError::Step::Write, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void AtomicFile::write(std::span<const std::string> pieces)
{
    std::vector<iovec> rest;
    rest.reserve(pieces.size());
    for (const std::string& p : pieces)
        if (!p.empty()) rest.push_back(piece(p));
    std::size_t first = 0;
    while (first < rest.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(rest.size() - first, IOV_MAX));
        const ssize_t n = ::writev(fd_, rest.data() + first, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(FileWriteError::Step::Write, errno);
        }
        // A short write stops anywhere: skip what went out and go on from there.
        auto done = static_cast<std::size_t>(n);
        while (first < rest.size() && done >= rest[first].iov_len) done -= rest[first++].iov_len;
        if (done > 0) {
            rest[first].iov_base = static_cast<char*>(rest[first].iov_base) + done;
            rest[first].iov_len -= done;
        }
    }
}

void AtomicFile::commit()
{
    if (stream_) {
        const bool bad = std::fflush(stream_) != 0 || std::ferror(stream_);
        const int err = errno;
        const bool closeFailed = std::fclose(stream_) != 0;
        stream_ = nullptr;
        if (bad || closeFailed) fail(FileWriteError::Step::Write, err);
    }
    if (::fsync(fd_) != 0) fail(FileWriteError::Step::Write, errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail(FileWriteError::Step::Replace, errno);
    committed_ = true;
    ::close(fd_);
    fd_ = -1;
    syncFolder(target_.parent_path());
}

void writeFileAtomically(const fs::path& path, std::span<const std::string> pieces)
{
    AtomicFile file(path);
    file.write(pieces);
    file.commit();
}

void writeFileAtomically(const fs::path& path, std::string_view text)
{
    AtomicFile file(path);
    file.write(text);
    file.commit();
}

}  // namespace orvane

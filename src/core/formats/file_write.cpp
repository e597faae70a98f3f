#include "formats/file_write.h"

#include "base/error.h"
#include "base/system_error_text.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace orvane {
namespace {

std::string reason(int err) { return systemErrorText(err); }

// Closes the descriptor and removes the fresh file unless the write went through.
class PendingFile {
public:
    PendingFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile()
    {
        if (fd_ >= 0) ::close(fd_);
        if (!done_) ::unlink(path_.c_str());
    }
    int fd() const { return fd_; }
    const std::filesystem::path& path() const { return path_; }
    // Closes now, so that late write errors (reported by close) are seen; errno on failure.
    int close()
    {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }
    void keep() { done_ = true; }

private:
    int fd_;
    std::filesystem::path path_;
    bool done_ = false;
};

// A name no other writer uses: several threads or programs may write into one folder.
std::filesystem::path temporaryName(const std::filesystem::path& path, unsigned attempt)
{
    static std::atomic<unsigned long> counter{0};
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".tmp.%ld.%lu.%u", static_cast<long>(::getpid()),
                  counter.fetch_add(1, std::memory_order_relaxed), attempt);
    std::filesystem::path tmp = path;
    tmp.replace_filename("." + path.filename().string() + suffix);
    return tmp;
}

// Creates a fresh file beside `path`, writes the pieces, and renames it onto `path`.
void writeAll(const std::filesystem::path& path, std::vector<iovec> rest)
{
    int fd = -1;
    std::filesystem::path tmp;
    for (unsigned attempt = 0; fd < 0; ++attempt) {
        tmp = temporaryName(path, attempt);
        // 0666 before the umask: the report gets the same rights as any file the user makes.
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && !(errno == EEXIST && attempt < 100))
            throw Error("Could not open file " + path.string() + ": " + reason(errno));
    }
    PendingFile file(fd, tmp);

    std::size_t first = 0;
    while (first < rest.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(rest.size() - first, IOV_MAX));
        const ssize_t n = ::writev(file.fd(), rest.data() + first, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error("Could not write " + path.string() + ": " + reason(errno));
        }
        // A short write stops anywhere: skip what went out and go on from there.
        auto done = static_cast<std::size_t>(n);
        while (first < rest.size() && done >= rest[first].iov_len) done -= rest[first++].iov_len;
        if (done > 0) {
            rest[first].iov_base = static_cast<char*>(rest[first].iov_base) + done;
            rest[first].iov_len -= done;
        }
    }
    if (const int err = file.close())
        throw Error("Could not write " + path.string() + ": " + reason(err));
    if (::rename(file.path().c_str(), path.c_str()) != 0)
        throw Error("Could not write " + path.string() + ": " + reason(errno));
    file.keep();
}

}  // namespace

// writev only reads through the pointers; the const_casts are for its iovec type.
void writeFileAtomically(const std::filesystem::path& path, std::span<const std::string> pieces)
{
    std::vector<iovec> all;
    all.reserve(pieces.size());
    for (const std::string& p : pieces)
        if (!p.empty()) all.push_back({const_cast<char*>(p.data()), p.size()});
    writeAll(path, std::move(all));
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view text)
{
    std::vector<iovec> all;
    if (!text.empty()) all.push_back({const_cast<char*>(text.data()), text.size()});
    writeAll(path, std::move(all));
}

}  // namespace orvane

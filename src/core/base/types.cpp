#include "base/types.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define ORVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANE_ADDRESS_SANITIZER 1
#endif
#endif

namespace orvane {

namespace {
// Under the address sanitizer every freed array goes back at once, so that a use after
// free is still caught.
#ifdef ORVANE_ADDRESS_SANITIZER
constexpr bool kKeepFreedArrays = false;
#else
constexpr bool kKeepFreedArrays = true;
#endif
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallAlignment = 64;
// Arrays from this size on are kept for reuse when freed. Below it the allocator's own
// free lists serve well; above it each fresh block costs a map, page faults on first
// touch and an unmap, which at grids of 2^14 to 2^17 points cost more than the arithmetic.
constexpr std::size_t kPooledFrom = std::size_t{64} << 10;
// Pooled sizes are rounded up to whole pages, so that arrays of nearly the same length
// share a free list.
constexpr std::size_t kPoolGranule = 4096;

std::size_t pooledSize(std::size_t bytes)
{
    return bytes >= kPooledFrom ? (bytes + kPoolGranule - 1) / kPoolGranule * kPoolGranule : bytes;
}

std::align_val_t alignmentFor(std::size_t bytes)
{
    return std::align_val_t{bytes >= 2 * kHugePage ? kHugePage : kSmallAlignment};
}

// Freed large arrays by size, up to a quarter of the machine's memory and at most 4 GiB.
// An analysis frees and makes arrays of the same few sizes over and over (per set, per
// stage, per analysis of a session); taking them from here saves the system calls and the
// page faults.
class ArrayPool {
public:
    void* take(std::size_t bytes)
    {
        std::lock_guard lock(mutex_);
        auto it = free_.find(bytes);
        if (it == free_.end() || it->second.empty()) return nullptr;
        void* p = it->second.back();
        it->second.pop_back();
        held_ -= bytes;
        return p;
    }

    bool keep(void* p, std::size_t bytes)
    {
        std::lock_guard lock(mutex_);
        if (held_ + bytes > limit_) return false;
        free_[bytes].push_back(p);
        held_ += bytes;
        return true;
    }

    void release()
    {
        std::unordered_map<std::size_t, std::vector<void*>> blocks;
        {
            std::lock_guard lock(mutex_);
            blocks.swap(free_);
            held_ = 0;
        }
        for (auto& [bytes, list] : blocks)
            for (void* p : list) ::operator delete(p, alignmentFor(bytes));
    }

    void lockForFork() { mutex_.lock(); }
    void unlockAfterFork() { mutex_.unlock(); }

    std::size_t held()
    {
        std::lock_guard lock(mutex_);
        return held_;
    }

private:
    static std::size_t limit()
    {
        const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0) return std::size_t{1} << 30;
        return std::min(static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(pageSize), std::size_t{4} << 30);
    }

    std::mutex mutex_;
    std::unordered_map<std::size_t, std::vector<void*>> free_;
    std::size_t held_ = 0;
    const std::size_t limit_ = limit();
};

// Never destroyed: arrays may still be freed by other static objects at exit.
ArrayPool& pool()
{
    static ArrayPool* p = [] {
        auto* made = new ArrayPool;
        // A fork while another thread holds the pool's lock would leave the child's copy
        // locked for good (a script forking workers while an analysis runs in a thread):
        // the lock is taken around the fork and released on both sides, as the allocator does.
        ::pthread_atfork([] { pool().lockForFork(); }, [] { pool().unlockAfterFork(); },
                         [] { pool().unlockAfterFork(); });
        return made;
    }();
    return *p;
}
}  // namespace

void* allocateArray(std::size_t bytes)
{
    bytes = pooledSize(bytes);
    if (bytes >= kPooledFrom)
        if (void* p = pool().take(bytes)) return p;
    void* p = ::operator new(bytes, alignmentFor(bytes));
#ifdef MADV_HUGEPAGE
    // Advice only: where huge pages are off, nothing changes.
    if (bytes >= 2 * kHugePage) madvise(p, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
#endif
    return p;
}

void freeArray(void* p, std::size_t bytes) noexcept
{
    if (!p) return;
    bytes = pooledSize(bytes);
    try {
        if (kKeepFreedArrays && bytes >= kPooledFrom && pool().keep(p, bytes)) return;
    } catch (...) {
        // No room to note the block: it goes back to the system instead.
    }
    ::operator delete(p, alignmentFor(bytes));
}

void releasePooledArrays() { pool().release(); }

std::size_t pooledArrayBytes() { return pool().held(); }

Vec Matrix::column(std::size_t c) const
{
    Vec out(rows);
    for (std::size_t r = 0; r < rows; ++r) out[r] = (*this)(r, c);
    return out;
}

}  // namespace orvane

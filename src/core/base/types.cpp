#include "base/types.h"

#include <sys/mman.h>

namespace orvane {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallAlignment = 64;

std::align_val_t alignmentFor(std::size_t bytes)
{
    return std::align_val_t{bytes >= 2 * kHugePage ? kHugePage : kSmallAlignment};
}
}  // namespace

void* allocateArray(std::size_t bytes)
{
    void* p = ::operator new(bytes, alignmentFor(bytes));
#ifdef MADV_HUGEPAGE
    // Advice only: where huge pages are off, nothing changes.
    if (bytes >= 2 * kHugePage) madvise(p, bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
#endif
    return p;
}

void freeArray(void* p, std::size_t bytes) noexcept
{
    ::operator delete(p, alignmentFor(bytes));
}

Vec Matrix::column(std::size_t c) const
{
    Vec out(rows);
    for (std::size_t r = 0; r < rows; ++r) out[r] = (*this)(r, c);
    return out;
}

}  // namespace orvane

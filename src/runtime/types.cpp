#include "runtime/types.h"

namespace orvane {

Vec Matrix::column(std::size_t c) const
{
    Vec out(rows);
    for (std::size_t r = 0; r < rows; ++r) out[r] = (*this)(r, c);
    return out;
}

}  // namespace orvane

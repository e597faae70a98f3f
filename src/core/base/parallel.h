// Work spread over the machine's cores: the per-set steps of an analysis are independent.
#pragma once

#include <cstddef>
#include <functional>

namespace orvane {

// Calls fn(0) … fn(count-1), on up to as many threads as the machine has cores (the
// ORVANE_THREADS environment variable may set fewer). `pointsPerItem` tells how much work
// one call is; small jobs stay on the calling thread, where starting threads would cost
// more than it saves. Returns when all calls are done; the first exception thrown by any
// call is rethrown here.
void parallelFor(std::size_t count, std::size_t pointsPerItem, const std::function<void(std::size_t)>& fn);

}  // namespace orvane

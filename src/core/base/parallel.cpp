#include "base/parallel.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace orvane {

namespace {

std::size_t threadCount()
{
    std::size_t n = std::max(1u, std::thread::hardware_concurrency());
    if (const char* env = std::getenv("ORVANE_THREADS")) {
        const long wanted = std::strtol(env, nullptr, 10);
        if (wanted >= 1) n = std::min(n, static_cast<std::size_t>(wanted));
    }
    return n;
}

}  // namespace

void parallelFor(std::size_t count, std::size_t pointsPerItem, const std::function<void(std::size_t)>& fn)
{
    constexpr std::size_t kWorthThreads = std::size_t{1} << 16;  // points in all
    const bool worth = count > 1 && pointsPerItem >= kWorthThreads / count;
    const std::size_t threads = worth ? std::min(threadCount(), count) : 1;
    if (threads <= 1) {
        for (std::size_t i = 0; i < count; ++i) fn(i);
        return;
    }
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) {
            try {
                fn(i);
            } catch (...) {
                std::lock_guard lock(failureMutex);
                if (!failure) failure = std::current_exception();
                next.store(count);  // no new work once something failed
            }
        }
    };
    {
        std::vector<std::jthread> pool;
        for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(work);
        work();
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace orvane

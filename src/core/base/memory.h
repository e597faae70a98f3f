// How much memory this process may still take: the smaller of the physical memory the kernel
// calls available and what the process's control group (cgroup) still allows, each with the
// arrays this process keeps for reuse added.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

struct MemoryRoom {
    std::optional<std::uint64_t> physical;  // MemAvailable of /proc/meminfo
    std::optional<std::uint64_t> cgroup;    // the cgroup's limit less its usage; none without a limit
    // The smaller of the two known values; none when neither is known.
    std::optional<std::uint64_t> usable() const;
    // "12.3 GB of physical memory available, no cgroup limit" and the like.
    std::string describe() const;
};

MemoryRoom memoryRoom();

// 1234567890 → "1.2 GB".
std::string byteCount(std::uint64_t bytes);

}  // namespace orvane

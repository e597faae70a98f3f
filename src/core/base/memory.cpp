#include "base/memory.h"

#include "base/types.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace orvane {

namespace {

std::optional<std::uint64_t> readNumber(const char* path)
{
    std::ifstream in(path);
    std::string word;
    if (!(in >> word) || word == "max") return std::nullopt;
    try {
        return std::stoull(word);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::uint64_t> meminfoAvailable()
{
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (in >> key >> kib >> unit)
        if (key == "MemAvailable:") return kib * 1024;
    return std::nullopt;
}

std::optional<std::uint64_t> cgroupRoom()
{
    // cgroup v2 first, then v1; a v1 "unlimited" limit is a huge number, which min() absorbs.
    std::optional<std::uint64_t> limit = readNumber("/sys/fs/cgroup/memory.max");
    std::optional<std::uint64_t> used = readNumber("/sys/fs/cgroup/memory.current");
    if (!limit) {
        limit = readNumber("/sys/fs/cgroup/memory/memory.limit_in_bytes");
        used = readNumber("/sys/fs/cgroup/memory/memory.usage_in_bytes");
        if (limit && *limit >= (std::uint64_t{1} << 60)) limit.reset();
    }
    if (!limit) return std::nullopt;
    const std::uint64_t u = used.value_or(0);
    return *limit > u ? *limit - u : 0;
}

}  // namespace

std::optional<std::uint64_t> MemoryRoom::usable() const
{
    if (physical && cgroup) return std::min(*physical, *cgroup);
    return physical ? physical : cgroup;
}

std::string MemoryRoom::describe() const
{
    std::string text = physical ? byteCount(*physical) + " of physical memory available" : "physical memory unknown";
    text += cgroup ? ", " + byteCount(*cgroup) + " left under the cgroup limit" : ", no cgroup limit";
    return text;
}

MemoryRoom memoryRoom()
{
    // The arrays kept for reuse are the process's own: the next analysis takes them first.
    const std::uint64_t kept = pooledArrayBytes();
    MemoryRoom room{meminfoAvailable(), cgroupRoom()};
    if (room.physical) *room.physical += kept;
    if (room.cgroup) *room.cgroup += kept;
    return room;
}

std::string byteCount(std::uint64_t bytes)
{
    const char* units[] = {"bytes", "KB", "MB", "GB", "TB", "PB"};
    double v = static_cast<double>(bytes);
    std::size_t u = 0;
    while (v >= 1000 && u + 1 < std::size(units)) v /= 1000, ++u;
    char text[32];
    std::snprintf(text, sizeof text, u == 0 ? "%.0f %s" : "%.1f %s", v, units[u]);
    return text;
}

}  // namespace orvane

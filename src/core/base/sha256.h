// SHA-256 digests, so that a report can name exactly which input files it rates.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvane {

// A running SHA-256 over bytes fed in any number of pieces.
class Sha256 {
public:
    Sha256();
    void update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent afterwards.
    std::string hexDigest();

private:
    void block(const unsigned char* p);

    std::array<std::uint32_t, 8> h_;
    std::array<unsigned char, 64> pending_{};
    std::size_t pendingBytes_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of a text, as 64 hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

// The digest of a file's contents; throws Error naming the file when it cannot be read.
std::string sha256OfFile(const std::filesystem::path& path);

}  // namespace orvane

#include "formats/mat_scan.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <unistd.h>

namespace orvane::matfile {

std::size_t FileIndex::find(std::string_view name) const
{
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].name == name) return i;
    return npos;
}

namespace {

// Data types and array classes of the Level 5 format.
enum : std::uint32_t {
    miINT8 = 1, miUINT8 = 2, miINT16 = 3, miUINT16 = 4, miINT32 = 5, miUINT32 = 6, miSINGLE = 7,
    miDOUBLE = 9, miINT64 = 12, miUINT64 = 13, miMATRIX = 14, miCOMPRESSED = 15, miUTF8 = 16, miUTF16 = 17,
};
enum : std::uint32_t {
    mxCELL = 1, mxSTRUCT = 2, mxOBJECT = 3, mxCHAR = 4, mxSPARSE = 5, mxDOUBLE = 6, mxUINT64 = 15,
};

constexpr std::uint64_t kHeaderBytes = 128;
constexpr int kMaxDepth = 16;
constexpr std::uint32_t kMaxRank = 32;
constexpr std::uint32_t kMaxNameBytes = 4096;
constexpr std::uint32_t kMaxFields = 4096;
// Far more arrays and data per variable than any result file holds; beyond this a file
// is taken as hostile rather than letting matio allocate for it.
constexpr std::uint64_t kMaxArrays = 1 << 16;
constexpr std::uint64_t kMaxInflated = std::uint64_t{4} << 30;
constexpr std::uint64_t kMaxElements = std::uint64_t{1} << 53;

struct Bad {
    std::string why;
};
[[noreturn]] void bad(std::string why)
{
    throw Bad{std::move(why)};
}

bool readAt(int fd, void* out, std::size_t n, std::uint64_t offset)
{
    auto* p = static_cast<unsigned char*>(out);
    while (n > 0) {
        const ssize_t got = ::pread(fd, p, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

std::uint32_t numericSize(std::uint32_t type)
{
    switch (type) {
    case miINT8: case miUINT8: return 1;
    case miINT16: case miUINT16: return 2;
    case miINT32: case miUINT32: case miSINGLE: return 4;
    case miDOUBLE: case miINT64: case miUINT64: return 8;
    default: return 0;
    }
}

std::uint32_t charUnit(std::uint32_t type)
{
    switch (type) {
    case miINT8: case miUINT8: case miUTF8: return 1;
    case miINT16: case miUINT16: case miUTF16: return 2;
    default: return 0;
    }
}

// The bytes of one element, from the file itself or inflated from a compressed element.
class Source {
public:
    virtual ~Source() = default;
    virtual void read(void* out, std::size_t n) = 0;
    virtual void skip(std::uint64_t n) = 0;
};

class FileSource final : public Source {
public:
    FileSource(int fd, std::uint64_t begin, std::uint64_t end) : fd_(fd), pos_(begin), end_(end) {}
    void read(void* out, std::size_t n) override
    {
        if (n > end_ - pos_) bad("the file ends inside it");
        // Tags and headers are read through a window: one system call for many of them.
        if (pos_ < windowAt_ || pos_ + n > windowAt_ + windowSize_) {
            if (n > sizeof window_) {
                if (!readAt(fd_, out, n, pos_)) bad("the file ends inside it");
                pos_ += n;
                return;
            }
            windowAt_ = pos_;
            windowSize_ = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof window_, end_ - pos_));
            if (!readAt(fd_, window_, windowSize_, windowAt_)) {
                windowSize_ = 0;
                bad("the file ends inside it");
            }
        }
        std::memcpy(out, window_ + (pos_ - windowAt_), n);
        pos_ += n;
    }
    // Data is skipped, not read: checking a large uncompressed file costs a few reads.
    void skip(std::uint64_t n) override
    {
        if (n > end_ - pos_) bad("the file ends inside it");
        pos_ += n;
    }

private:
    int fd_;
    std::uint64_t pos_, end_;
    std::uint64_t windowAt_ = 0;
    std::size_t windowSize_ = 0;
    unsigned char window_[4096];
};

class InflateSource final : public Source {
public:
    InflateSource(int fd, std::uint64_t begin, std::uint64_t end) : fd_(fd), pos_(begin), end_(end)
    {
        if (inflateInit(&z_) != Z_OK) bad("its compressed data cannot be unpacked");
    }
    ~InflateSource() override { inflateEnd(&z_); }
    InflateSource(const InflateSource&) = delete;
    InflateSource& operator=(const InflateSource&) = delete;

    void read(void* out, std::size_t n) override
    {
        auto* p = static_cast<unsigned char*>(out);
        while (n > 0) {
            if (ended_) bad("its compressed data ends before its array does");
            if (z_.avail_in == 0) {
                const std::uint64_t take = std::min<std::uint64_t>(sizeof in_, end_ - pos_);
                if (take == 0) bad("its compressed data is cut short");
                if (!readAt(fd_, in_, take, pos_)) bad("the file ends inside it");
                pos_ += take;
                z_.next_in = in_;
                z_.avail_in = static_cast<uInt>(take);
            }
            const auto chunk = static_cast<uInt>(std::min<std::size_t>(n, std::size_t{1} << 30));
            const uInt inBefore = z_.avail_in;
            z_.next_out = p;
            z_.avail_out = chunk;
            const int rc = inflate(&z_, Z_NO_FLUSH);
            const std::size_t produced = chunk - z_.avail_out;
            p += produced;
            n -= produced;
            inflated_ += produced;
            if (inflated_ > kMaxInflated) bad("it unpacks to more data than a result file holds");
            if (rc == Z_STREAM_END)
                ended_ = true;
            else if (rc != Z_OK && !(rc == Z_BUF_ERROR && z_.avail_in == 0))
                bad("its compressed data is damaged");
            else if (produced == 0 && z_.avail_in == inBefore && inBefore != 0)
                bad("its compressed data is damaged");
        }
    }
    void skip(std::uint64_t n) override
    {
        while (n > 0) {
            const auto k = static_cast<std::size_t>(std::min<std::uint64_t>(n, sizeof scratch_));
            read(scratch_, k);
            n -= k;
        }
    }

private:
    int fd_;
    std::uint64_t pos_, end_;
    z_stream z_{};
    bool ended_ = false;
    std::uint64_t inflated_ = 0;
    unsigned char in_[16384];
    unsigned char scratch_[16384];
};

struct Tag {
    std::uint32_t type = 0;
    std::uint32_t bytes = 0;
    bool small = false;  // the data sits in the tag's second word
    unsigned char inline_[4] = {};
};

// Walks one array element. Each function is given the bytes left in the enclosing element
// and never reads past them.
class Walker {
public:
    Walker(Source& source, bool swap) : src_(source), swap_(swap) {}

    // An array of n content bytes: the whole of it, or with headerOnly up to its name.
    void matrix(std::uint64_t n, int depth, std::string* name, bool headerOnly = false)
    {
        if (depth > kMaxDepth) bad("its arrays are nested too deeply");
        if (++arrays_ > kMaxArrays) bad("it holds more arrays than a result file does");
        if (n == 0) {
            // An unset cell entry; a variable cannot be empty.
            if (name) bad("it is empty");
            return;
        }
        std::uint64_t left = n;

        const Tag f = tag(left);
        if (f.type != miUINT32 || f.bytes != 8) bad("its array flags are malformed");
        unsigned char flags[8];
        payload(left, f, flags);
        const std::uint32_t cls = u32(flags) & 0xFF;
        const bool complex = (u32(flags) & 0x800) != 0;

        const Tag d = tag(left);
        if (d.type != miINT32 || d.bytes % 4 != 0 || d.bytes < 8 || d.bytes > 4 * kMaxRank)
            bad("its dimensions are malformed");
        unsigned char dims[4 * kMaxRank];
        payload(left, d, dims);
        std::uint64_t elements = 1;
        for (std::uint32_t i = 0; i < d.bytes / 4; ++i) {
            const auto dim = static_cast<std::int32_t>(u32(dims + 4 * i));
            if (dim < 0) bad("it has a negative dimension");
            if (dim != 0 && elements > kMaxElements / static_cast<std::uint64_t>(dim))
                bad("its dimensions are too large");
            elements *= static_cast<std::uint64_t>(dim);
        }

        const Tag nm = tag(left);
        if (nm.type != miINT8 || nm.bytes > kMaxNameBytes) bad("its name is malformed");
        std::string text(nm.bytes, '\0');
        payload(left, nm, text.data());
        if (name) *name = text.substr(0, text.find('\0'));  // as matio sees it
        if (headerOnly) return;

        if (cls >= mxDOUBLE && cls <= mxUINT64) {
            numbers(left, elements, "values");
            if (complex) numbers(left, elements, "imaginary parts");
        } else if (cls == mxCHAR) {
            const Tag t = tag(left);
            const std::uint32_t unit = charUnit(t.type);
            if (unit == 0) bad("its text is stored in an encoding this program does not read");
            if (complex || t.bytes != elements * unit) bad("its text does not fill its dimensions");
            skipPayload(left, t);
        } else if (cls == mxCELL) {
            if (elements > left / 8) bad("it declares more cells than it holds");
            for (std::uint64_t i = 0; i < elements; ++i) child(left, depth);
        } else if (cls == mxSTRUCT) {
            // matio reads the name length only in the small element format.
            const Tag l = tag(left);
            if (!l.small || l.type != miINT32 || l.bytes != 4) bad("its field names are malformed");
            unsigned char lb[4];
            payload(left, l, lb);
            const std::uint32_t length = u32(lb);
            const Tag fn = tag(left);
            if (length == 0 || length > kMaxNameBytes || fn.small || fn.type != miINT8 || fn.bytes % length != 0 ||
                fn.bytes / length > kMaxFields)
                bad("its field names are malformed");
            const std::uint64_t fields = fn.bytes / length;
            skipPayload(left, fn);
            if (fields != 0 && elements > left / 8 / fields) bad("it declares more fields than it holds");
            for (std::uint64_t i = 0; i < elements * fields; ++i) child(left, depth);
        } else if (cls == mxSPARSE) {
            bad("it is a sparse array, which this program does not read");
        } else if (cls == mxOBJECT || cls == 16 || cls == 17) {
            bad("it is an object, which this program does not read");
        } else {
            bad("its array class is unknown");
        }
        src_.skip(left);
    }

    Tag tag(std::uint64_t& left)
    {
        if (left < 8) bad("an element inside it is cut short");
        unsigned char b[8];
        src_.read(b, 8);
        left -= 8;
        Tag t;
        const std::uint32_t w0 = u32(b);
        if ((w0 >> 16) != 0) {
            t.small = true;
            t.type = w0 & 0xFFFF;
            t.bytes = w0 >> 16;
            if (t.bytes > 4) bad("an element inside it has a malformed tag");
            std::memcpy(t.inline_, b + 4, 4);
        } else {
            t.type = w0;
            t.bytes = u32(b + 4);
            if (t.bytes > left) bad("an element inside it runs past its end");
        }
        return t;
    }

private:
    std::uint32_t u32(const unsigned char* p) const
    {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return swap_ ? __builtin_bswap32(v) : v;
    }

    void padding(std::uint64_t& left, std::uint64_t bytes)
    {
        const std::uint64_t pad = std::min<std::uint64_t>((8 - bytes % 8) % 8, left);
        src_.skip(pad);
        left -= pad;
    }
    void payload(std::uint64_t& left, const Tag& t, void* out)
    {
        if (t.small) {
            std::memcpy(out, t.inline_, std::min<std::size_t>(t.bytes, sizeof t.inline_));
            return;
        }
        src_.read(out, t.bytes);
        left -= t.bytes;
        padding(left, t.bytes);
    }
    void skipPayload(std::uint64_t& left, const Tag& t)
    {
        if (t.small) return;
        src_.skip(t.bytes);
        left -= t.bytes;
        padding(left, t.bytes);
    }

    void numbers(std::uint64_t& left, std::uint64_t elements, const char* what)
    {
        const Tag t = tag(left);
        const std::uint32_t size = numericSize(t.type);
        if (size == 0) bad(std::string("its ") + what + " are stored as an unknown type");
        // Exactly as many as the dimensions claim: matio allocates for the dimensions.
        if (elements > std::numeric_limits<std::uint32_t>::max() / size || t.bytes != elements * size)
            bad(std::string("its ") + what + " do not fill its dimensions");
        skipPayload(left, t);
    }

    void child(std::uint64_t& left, int depth)
    {
        const Tag c = tag(left);
        if (c.small || c.type != miMATRIX) bad("a cell or field inside it is not an array");
        matrix(c.bytes, depth + 1, nullptr);
        left -= c.bytes;
    }

    Source& src_;
    bool swap_;
    std::uint64_t arrays_ = 0;
};

// Walks the element at e.offset (its size already in e.bytes), capped at the file's end.
void walk(const Layout& layout, const Entry& e, std::string* name, bool headerOnly)
{
    const std::uint64_t begin = e.offset + 8;
    const std::uint64_t end = begin + std::min<std::uint64_t>(e.bytes, layout.size - begin);
    if (!e.compressed) {
        FileSource file(layout.fd, begin, end);
        Walker(file, layout.swap).matrix(e.bytes, 0, name, headerOnly);
        return;
    }
    InflateSource inflated(layout.fd, begin, end);
    Walker walker(inflated, layout.swap);
    // The inflated array's size is bounded by the stream, not by the compressed size.
    std::uint64_t left = std::numeric_limits<std::uint64_t>::max();
    const Tag inner = walker.tag(left);
    if (inner.small || inner.type != miMATRIX) bad("its compressed data is not an array");
    walker.matrix(inner.bytes, 0, name, headerOnly);
}

}  // namespace

std::string headerProblem(Layout& layout)
{
    if (layout.size < kHeaderBytes) return "it is too short for a MAT-file";
    unsigned char h[kHeaderBytes];
    if (!readAt(layout.fd, h, sizeof h, 0)) return "it cannot be read";
    const bool littleHost = std::endian::native == std::endian::little;
    if (h[126] == 'I' && h[127] == 'M')
        layout.swap = !littleHost;
    else if (h[126] == 'M' && h[127] == 'I')
        layout.swap = littleHost;
    else
        return "it is not a MAT-file";
    std::uint16_t version;
    std::memcpy(&version, h + 124, 2);
    if (layout.swap) version = __builtin_bswap16(version);
    if (version == 0x0200) return "it is a version 7.3 (HDF5) MAT-file; save it as version 7 or 6";
    if (version != 0x0100) return "it is not a MAT-file of a version this program reads";
    return {};
}

FileIndex indexFile(const Layout& layout)
{
    FileIndex index;
    std::uint64_t pos = kHeaderBytes;
    const auto stop = [&](std::string why) {
        index.damage = std::move(why);
        index.damageOffset = pos;
    };
    while (pos < layout.size) {
        unsigned char b[8];
        if (layout.size - pos < 8 || !readAt(layout.fd, b, 8, pos)) {
            stop("the file ends inside a variable");
            break;
        }
        std::uint32_t type, bytes;
        std::memcpy(&type, b, 4);
        std::memcpy(&bytes, b + 4, 4);
        if (layout.swap) {
            type = __builtin_bswap32(type);
            bytes = __builtin_bswap32(bytes);
        }
        if (type != miMATRIX && type != miCOMPRESSED) {
            stop("the file holds data that is not a variable");
            break;
        }
        Entry e;
        e.offset = pos;
        e.bytes = bytes;
        e.compressed = type == miCOMPRESSED;
        const bool truncated = bytes > layout.size - pos - 8;
        bool named = false;
        std::string why;
        try {
            walk(layout, e, &e.name, true);
            named = true;
        } catch (const Bad& fault) {
            why = fault.why;
        }
        if (truncated) {
            if (named) {
                e.problem = "the file ends inside it (the file is truncated)";
                index.entries.push_back(e);
            }
            stop("the file is truncated");
            break;
        }
        // Nameless, it cannot be asked for, but it still bars the way to those after it.
        if (!named) {
            e.name.clear();
            e.problem = "its header is damaged: " + why;
        }
        index.entries.push_back(e);
        pos += 8 + std::uint64_t{bytes};
    }
    return index;
}

std::string checkVariable(const Layout& layout, const Entry& entry)
{
    if (!entry.problem.empty()) return entry.problem;
    try {
        walk(layout, entry, nullptr, false);
    } catch (const Bad& why) {
        return why.why;
    }
    return {};
}

}  // namespace orvane::matfile

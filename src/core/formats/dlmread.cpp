#include "formats/dlmread.h"

#include "base/error.h"
#include "base/text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <sys/stat.h>

namespace orvane {

namespace {

// Quoted text in messages is cut here so one huge line cannot flood the message.
constexpr std::size_t kQuoteLimit = 40;

// Length of the UTF-8 sequence starting at s[i] if it is well formed and harmless to
// print, else 0. C1 controls, invisible and bidirectional formatting characters can
// rearrange or hide what a terminal shows, so they are escaped like bytes.
std::size_t printableUtf8Length(std::string_view s, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, cp = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, cp = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, cp = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < n) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    if (cp <= 0x9F) return 0;
    if ((cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x206F) ||
        cp == 0xFEFF)
        return 0;
    return n;
}

// Text from a file, in quotes, safe to print: at most kQuoteLimit bytes of it ("..." after
// the quote marks a cut), control and malformed bytes as escapes.
std::string quote(std::string_view s)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const std::size_t limit = std::min(s.size(), kQuoteLimit);
    std::string out = "\"";
    std::size_t i = 0;
    while (i < limit) {
        const char c = s[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            if (const std::size_t n = printableUtf8Length(s, i)) {
                if (i + n > limit) break;  // never split a character
                out.append(s.substr(i, n));
                i += n;
                continue;
            }
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default:
            if (u < 0x20 || u >= 0x7F) {
                out += "\\x";
                out += hex[u >> 4];
                out += hex[u & 0xF];
            } else {
                out += c;
            }
        }
        ++i;
    }
    out += '"';
    if (i < s.size()) out += "...";
    return out;
}

// Whether a field that is not a finite number is still written as one ("inf", "NaN",
// "1e999"), so the message can say what is wrong with it.
bool isNonFiniteNumeral(std::string_view f)
{
    if (!f.empty() && (f.front() == '+' || f.front() == '-')) f.remove_prefix(1);
    if (f.empty() || f.front() == '+' || f.front() == '-') return false;
    double ignored = 0.0;
    const char* end = f.data() + f.size();
    return std::from_chars(f.data(), end, ignored).ptr == end;
}

enum class CharKind : unsigned char { Other, Blank, Separator };

// The role of every byte; a table keeps the inner loops to one load per byte.
class CharKinds {
public:
    explicit CharKinds(char extraSeparator)
    {
        kinds_.fill(CharKind::Other);
        set(',', CharKind::Separator);
        set(';', CharKind::Separator);
        set(extraSeparator, CharKind::Separator);
        set(' ', CharKind::Blank);  // after the extra one: a blank stays a blank
        set('\t', CharKind::Blank);
    }
    CharKind operator[](char c) const { return kinds_[static_cast<unsigned char>(c)]; }

private:
    void set(char c, CharKind k) { kinds_[static_cast<unsigned char>(c)] = k; }
    std::array<CharKind, 256> kinds_{};
};

// Calls onField for each field of a line that starts with a non-blank. Where separators
// leave nothing between them (or the line starts with one) the field is empty; a
// separator at the end of the line ends it without an empty field.
template <class OnField>
void forEachField(std::string_view line, const CharKinds& kinds, OnField&& onField)
{
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
        const char* const start = p;
        while (p != end && kinds[*p] == CharKind::Other) ++p;
        onField(std::string_view(start, static_cast<std::size_t>(p - start)));
        while (p != end && kinds[*p] == CharKind::Blank) ++p;
        if (p == end) return;
        if (kinds[*p] == CharKind::Separator) {
            ++p;
            while (p != end && kinds[*p] == CharKind::Blank) ++p;
            if (p == end) return;
        }
    }
}

bool isCommentStart(std::string_view content)
{
    const char c = content.front();
    return c == '#' || c == '%' || c == '!' || (c == '/' && content.size() > 1 && content[1] == '/');
}

// A line of column titles: no field is written as a number, finite or not.
bool isTitleLine(std::string_view content, const CharKinds& kinds)
{
    bool anyText = false;
    bool anyNumber = false;
    forEachField(content, kinds, [&](std::string_view f) {
        if (f.empty()) return;
        anyText = true;
        if (parseFiniteNumber(f) || isNonFiniteNumeral(f)) anyNumber = true;
    });
    return anyText && !anyNumber;
}

// Trailing blanks and tabs only, so a message shows every other byte of the line.
std::string_view trimTrailing(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string countOfNumbers(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " number" : " numbers");
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

DataFileError fileNotFound(const std::string& path) { return DataFileError(path, 0, "File not found."); }

// Why a path that is not a regular file cannot be read as one; empty for a regular file
// and for a pipe, which is read whole like a file.
std::string notAFile(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return "File not found.";
    if (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return "Is a folder, not a data file.";
    return "Is not a regular file (a device or socket), so it cannot be read as a data file.";
}

// Everything left in `file`, whose size, when known, is a hint only.
std::string readAll(std::FILE* file, const std::string& name, std::uintmax_t sizeHint)
{
    std::string text;
    try {
        text.resize(static_cast<std::size_t>(sizeHint));
        text.resize(std::fread(text.data(), 1, text.size(), file));
        char chunk[1 << 16];
        while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, file)) text.append(chunk, got);
    } catch (const std::bad_alloc&) {
        throw DataFileError(name, 0, "File is too large to read.");
    } catch (const std::length_error&) {
        throw DataFileError(name, 0, "File is too large to read.");
    }
    if (std::ferror(file)) throw DataFileError(name, 0, "File cannot be read.");
    return text;
}

// The whole file in one read; parsing then works on views into it. Pipes and process
// substitutions (/dev/fd/N) are read to their end like files; "-" is standard input.
std::string readWholeFile(const std::string& path)
{
    if (path == kStandardInput) {
        std::clearerr(stdin);
        return readAll(stdin, standardInputName(path), 0);
    }
    if (const std::string why = notAFile(path); !why.empty()) throw DataFileError(path, 0, why);
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (errno == ENOENT) throw fileNotFound(path);
        throw DataFileError(path, 0, "File cannot be read.");
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return readAll(file.get(), path, ec ? 0 : size);
}

}  // namespace

DataTable parseDelimitedText(std::string_view text, const std::string& name, char extraSeparator)
{
    const CharKinds kinds(extraSeparator);
    DataTable table;
    std::vector<double>& data = table.values.data;
    std::size_t cols = 0;
    bool seenContent = false;

    const char* p = text.data();
    const char* const end = p + text.size();
    if (text.size() >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;

    // The next LF is remembered: a file with lone CR line ends would otherwise be searched
    // to its end once per line.
    const char* lf = nullptr;
    std::size_t lineNumber = 0;
    while (p != end) {
        ++lineNumber;
        if (lf == nullptr || lf < p) {
            lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (lf == nullptr) lf = end;
        }
        const char* lineEnd = lf;
        const char* next = lf == end ? end : lf + 1;
        if (const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(lf - p)))) {
            lineEnd = cr;
            next = (cr + 1 == lf && lf != end) ? lf + 1 : cr + 1;
        }
        const char* start = p;
        p = next;

        while (start != lineEnd && kinds[*start] == CharKind::Blank) ++start;
        if (start == lineEnd) continue;
        std::string_view content(start, static_cast<std::size_t>(lineEnd - start));
        if (isCommentStart(content)) continue;

        if (!seenContent) {
            seenContent = true;
            if (isTitleLine(content, kinds)) continue;
        }

        const std::size_t before = data.size();
        forEachField(content, kinds, [&](std::string_view field) {
            if (field.empty())
                throw DataFileError(name, lineNumber, "empty field in " + quote(trimTrailing(content)));
            const std::optional<double> value = parseFiniteNumber(field);
            if (!value)
                throw DataFileError(name, lineNumber,
                                    quote(field) + (isNonFiniteNumeral(field) ? " is not a finite number"
                                                                              : " is not a number"));
            data.push_back(*value);
        });
        const std::size_t count = data.size() - before;
        if (cols == 0) {
            cols = count;
        } else if (count != cols) {
            throw DataFileError(name, lineNumber,
                                countOfNumbers(count) + " where the first data line has " + std::to_string(cols) +
                                    ": " + quote(trimTrailing(content)));
        }
        table.lines.push_back(lineNumber);
    }

    table.values.rows = table.lines.size();
    table.values.cols = cols;
    return table;
}

std::string readDataFile(const std::string& path) { return readWholeFile(path); }

std::string quoteForMessage(std::string_view s) { return quote(s); }

DataTable readDataTable(const std::string& path, char extraSeparator)
{
    const std::string text = readWholeFile(path);
    return parseDelimitedText(text, standardInputName(path), extraSeparator);
}

std::string standardInputName(const std::string& path) { return path == kStandardInput ? "standard input" : path; }

}  // namespace orvane

// libFuzzer target for the data file parser. A clear orvane::Error is a fine outcome;
// a crash, a sanitizer report, another exception type or a broken invariant is a fault.
#include "formats/dlmread.h"
#include "base/error.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

const std::string kName = "fuzz input";

void check(bool ok)
{
    if (!ok) __builtin_trap();
}

// The highest line number the text can have: CR, LF and CR LF each end one line.
std::size_t lineCount(std::string_view text)
{
    std::size_t n = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))) ++n;
    }
    return n;
}

// What a user sees must not carry control bytes from the file, and must stay short.
void checkMessage(const orvane::DataFileError& e, std::size_t lines)
{
    check(e.path() == kName);
    check(e.line() <= lines);
    check(e.reason().size() <= 400);
    const std::string_view what = e.what();
    for (std::size_t i = 0; i < what.size(); ++i) {
        const auto u = static_cast<unsigned char>(what[i]);
        check(u >= 0x20 && u != 0x7F);
        // C1 controls written in UTF-8 (U+0080 to U+009F)
        if (u == 0xC2 && i + 1 < what.size()) check(static_cast<unsigned char>(what[i + 1]) > 0x9F);
    }
}

void checkTable(const orvane::DataTable& t, std::size_t lines)
{
    const orvane::Matrix& m = t.values;
    check(m.data.size() == m.rows * m.cols);
    check((m.rows == 0) == (m.cols == 0));
    check(t.lines.size() == m.rows);
    for (const double v : m.data) check(std::isfinite(v));
    for (std::size_t r = 0; r < t.lines.size(); ++r) {
        check(t.lines[r] >= 1 && t.lines[r] <= lines);
        if (r > 0) check(t.lines[r] > t.lines[r - 1]);
    }
    if (m.rows == 0) return;

    // Written back in the plainest form, the numbers must read back bit for bit.
    std::string text;
    char buf[40];
    for (std::size_t r = 0; r < m.rows; ++r) {
        for (std::size_t c = 0; c < m.cols; ++c) {
            std::snprintf(buf, sizeof buf, "%.17g ", m(r, c));
            text += buf;
        }
        text += '\n';
    }
    const orvane::DataTable again = orvane::parseDelimitedText(text, kName);
    check(again.values.rows == m.rows && again.values.cols == m.cols);
    for (std::size_t i = 0; i < m.data.size(); ++i)
        check(std::signbit(again.values.data[i]) == std::signbit(m.data[i]) && again.values.data[i] == m.data[i]);
}

void run(std::string_view text, char extraSeparator)
{
    const std::size_t lines = lineCount(text);
    try {
        checkTable(orvane::parseDelimitedText(text, kName, extraSeparator), lines);
    } catch (const orvane::DataFileError& e) {
        checkMessage(e, lines);
    } catch (const orvane::Error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    run(text, ' ');
    // The first byte doubles as the extra separator, so odd separators are tried too.
    if (size > 0) run(text, text.front());
    return 0;
}

#include "base/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale.h>
#include <stdlib.h>

namespace orvane {

std::string num2str(double x)
{
    char buf[64];
    if (std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", x == 0.0 ? 0.0 : x);
    else if (std::isnan(x))
        return "NaN";
    else if (std::isinf(x))
        return x > 0 ? "Inf" : "-Inf";
    else
        std::snprintf(buf, sizeof buf, "%.5g", x);
    return buf;
}

std::optional<double> parseFiniteNumber(std::string_view field)
{
    if (field.empty()) return std::nullopt;
    std::string_view body = field;
    bool negative = false;
    if (body.front() == '+' || body.front() == '-') {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    // from_chars would take "inf", "nan" and a second sign; only plain decimals count here.
    if (body.empty() || !(std::isdigit(static_cast<unsigned char>(body.front())) || body.front() == '.'))
        return std::nullopt;
    double value = 0.0;
    const char* end = body.data() + body.size();
    auto [ptr, ec] = std::from_chars(body.data(), end, value, std::chars_format::general);
    if (ptr != end) return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value untouched here; ask strtod in the C locale whether
        // the number underflows (usable, ~0) or overflows (not usable).
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        const std::string copy(body);
        value = strtod_l(copy.c_str(), nullptr, cLocale);
    } else if (ec != std::errc()) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

double str2double(std::string_view text)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (auto v = parseFiniteNumber(text)) return *v;
    return std::numeric_limits<double>::quiet_NaN();
}

std::string_view trimTrailingBlanks(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

std::string strcatTrimmed(std::initializer_list<std::string_view> pieces)
{
    std::string out;
    for (std::string_view p : pieces) out += trimTrailingBlanks(p);
    return out;
}

std::string escapeControlCharacters(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7f) {
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

std::size_t utf8SequenceLength(std::string_view s)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t n;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else
        return 0;
    if (s.size() < n || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return n;
}

std::string escapeInvalidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        std::size_t n = utf8SequenceLength(text);
        if (n > 0) {
            out.append(text.substr(0, n));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(text[0]));
            out += buf;
            n = 1;
        }
        text.remove_prefix(n);
    }
    return out;
}

std::string lowercase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace orvane

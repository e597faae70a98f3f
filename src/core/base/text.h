// Text conventions of the runtime: number to text, text to number, and joining.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// A number as text with up to five significant digits ("85", "85.5", "0.33333").
// Integral values below 1e15 in magnitude are written in full ("123456").
std::string num2str(double x);

// The number written in a text, whatever the process locale ("85.5" → 85.5). Leading and
// trailing blanks are allowed; anything else that is not a number gives not-a-number.
double str2double(std::string_view text);

// A finite number parsed from the whole of `field` (no blanks), or nothing.
// Accepts an optional sign, digits with an optional '.', and an optional exponent.
std::optional<double> parseFiniteNumber(std::string_view field);

// Joins texts after dropping the trailing blanks of each piece:
// {" threshold = ", "85"} → " threshold =85".
std::string strcatTrimmed(std::initializer_list<std::string_view> pieces);

// The text without its trailing blanks.
std::string_view trimTrailingBlanks(std::string_view s);

// The text in ASCII lower case (other bytes as they are), for comparing keywords and titles.
std::string lowercase(std::string_view text);

// The text with its control characters escaped (\n, \t, \r, \x1b …), so that a file name
// cannot drive a terminal or break a message apart.
std::string escapeControlCharacters(std::string_view text);

// Bytes of the well-formed UTF-8 sequence at the start of `s` (no overlong forms, no
// surrogates, nothing beyond U+10FFFF), 0 when there is none.
std::size_t utf8SequenceLength(std::string_view s);

// The text as valid UTF-8: well-formed sequences kept, every other byte written as the four
// characters \xHH, so that a strict reader (JSON, CSV for a spreadsheet) takes a file name
// in any encoding and the user still sees which bytes it held.
std::string escapeInvalidUtf8(std::string_view text);

}  // namespace orvane

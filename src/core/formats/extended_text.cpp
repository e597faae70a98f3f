#include "formats/extended_read.h"

#include "formats/dlmread.h"
#include "base/error.h"
#include "base/text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace orvane {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

struct Field {
    std::string text;
    bool quoted = false;
};

// Fields of a line as the old reader splits them (runs of blanks, or one hard separator
// with blanks around it), with double-quoted fields that may hold separators. Titles
// ("Frequency [MHz]") keep their blanks when the line has other separators.
void splitFields(std::string_view line, bool decimalComma, std::vector<Field>& fields, bool titles = false)
{
    const auto hard = [&](char c) { return c == ';' || (!decimalComma && c == ','); };
    const bool blanksInside = titles && line.find_first_of(decimalComma ? ";\t" : ",;\t") != std::string_view::npos;
    const auto blank = [&](char c) { return blanksInside ? c == '\t' : (c == ' ' || c == '\t'); };
    fields.clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    for (;;) {
        Field f;
        if (i < n && line[i] == '"') {
            f.quoted = true;
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        f.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                f.text += line[i++];
            }
        }
        const std::size_t from = i;
        while (i < n && !hard(line[i]) && !blank(line[i])) ++i;
        f.text.append(line.data() + from, i - from);
        if (blanksInside) f.text = std::string(trim(f.text));
        fields.push_back(std::move(f));
        while (i < n && (blank(line[i]) || (blanksInside && line[i] == ' '))) ++i;
        if (i == n) return;
        if (hard(line[i])) {
            ++i;
            while (i < n && blank(line[i])) ++i;
            if (i == n) return;
        }
    }
}

std::vector<Field> splitFields(std::string_view line, bool decimalComma, bool titles = false)
{
    std::vector<Field> fields;
    splitFields(line, decimalComma, fields, titles);
    return fields;
}

std::optional<double> fieldNumber(const Field& f, bool decimalComma)
{
    if (!decimalComma) return parseFiniteNumber(trim(f.text));
    std::string t(trim(f.text));
    std::replace(t.begin(), t.end(), ',', '.');
    return parseFiniteNumber(t);
}

// Small, as a large file has millions: the fields of a line that is not numbers only are
// split again from its text when a message needs them.
struct TextLine {
    std::size_t number;
    std::size_t start = 0;      // its numbers in TextRows::values, when every field is one
    std::uint32_t count = 0;
    bool numeric = true;
    bool quoted = false;        // a numeric line with a quoted field
};

// Lines classified in one pass; the numbers of all numeric lines in one array, so a large
// file costs no allocation per line.
struct TextRows {
    std::vector<TextLine> lines;
    std::vector<double> values;
    bool comma = false, point = false;  // seen in a field of a numeric line
};

TextRows classify(const std::vector<std::pair<std::size_t, std::string_view>>& lines, bool decimalComma)
{
    TextRows out;
    out.lines.reserve(lines.size());
    out.values.reserve(lines.size() * 2);
    std::vector<Field> fields;
    for (const auto& [number, content] : lines) {
        splitFields(content, decimalComma, fields);
        TextLine t{number, out.values.size()};
        bool comma = false, point = false;
        for (const Field& f : fields) {
            const std::optional<double> v = fieldNumber(f, decimalComma);
            if (!v) {
                t.numeric = false;
                break;
            }
            out.values.push_back(*v);
            t.quoted = t.quoted || f.quoted;
            comma = comma || f.text.find(',') != std::string::npos;
            point = point || f.text.find('.') != std::string::npos;
        }
        if (t.numeric) {
            t.count = static_cast<std::uint32_t>(out.values.size() - t.start);
            out.comma = out.comma || comma;
            out.point = out.point || point;
        } else {
            out.values.resize(t.start);
        }
        out.lines.push_back(t);
    }
    return out;
}

// The title without its unit: "Frequency [MHz]" → "Frequency".
std::string_view withoutUnit(std::string_view title)
{
    title = trim(title);
    if (const std::size_t k = title.find_first_of("[(/"); k != std::string_view::npos) return trim(title.substr(0, k));
    return title;
}

// The unit a column title names: "Frequency [MHz]", "Freq/GHz", "f (kHz)", or a bare "Hz".
std::string unitOfTitle(std::string_view title)
{
    title = trim(title);
    std::string_view unit;
    if (!title.empty() && (title.back() == ']' || title.back() == ')')) {
        const char open = title.back() == ']' ? '[' : '(';
        if (const std::size_t k = title.rfind(open); k != std::string_view::npos)
            unit = title.substr(k + 1, title.size() - k - 2);
    } else if (const std::size_t k = title.rfind('/'); k != std::string_view::npos) {
        unit = title.substr(k + 1);
    } else {
        unit = title;
    }
    unit = trim(unit);
    return unitScale(unit) > 0 ? std::string(unit) : std::string();
}

std::size_t chooseColumn(const std::optional<std::size_t>& number, const std::optional<std::string>& name,
                         const std::vector<std::string>& titles, std::size_t columns, const std::string& path,
                         std::size_t line, const char* which)
{
    if (name) {
        const std::string wanted = lowercase(trim(*name));
        for (std::size_t k = 0; k < titles.size(); ++k)
            if (lowercase(trim(titles[k])) == wanted || lowercase(withoutUnit(titles[k])) == wanted) return k + 1;
        std::string known;
        for (const std::string& t : titles) known += (known.empty() ? "" : ", ") + quoteForMessage(t);
        throw ColumnCountError(path, line,
                               std::string("no column is titled ") + quoteForMessage(*name) + " for " + which +
                                   (known.empty() ? "; the file has no column titles." : "; the titles are " + known + "."));
    }
    if (*number < 1 || *number > columns)
        throw ColumnCountError(path, line,
                               std::string("column ") + std::to_string(*number) + " for " + which + " does not exist; the file has " +
                                   std::to_string(columns) + (columns == 1 ? " column." : " columns."));
    return *number;
}

}  // namespace

double unitScale(std::string_view unit)
{
    const std::string u = lowercase(unit);
    static const std::pair<const char*, double> table[] = {
        {"hz", 1}, {"khz", 1e3}, {"mhz", 1e6}, {"ghz", 1e9}, {"thz", 1e12},
        {"s", 1}, {"ms", 1e-3}, {"us", 1e-6}, {"\xC2\xB5s", 1e-6}, {"\xCE\xBCs", 1e-6},
        {"ns", 1e-9}, {"ps", 1e-12}, {"fs", 1e-15}, {"sec", 1},
    };
    for (const auto& [name, scale] : table)
        if (u == name) return scale;
    return 0.0;
}

std::string decodeDataText(std::string_view raw, const std::string& name, ReadReport& report)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(raw[i]); };
    if (raw.size() >= 3 && raw.substr(0, 3) == "\xEF\xBB\xBF") return std::string(raw.substr(3));
    const bool le = raw.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
    const bool be = raw.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
    if (!le && !be) return std::string(raw);
    report.encoding = le ? "UTF-16LE" : "UTF-16BE";
    if (raw.size() % 2 != 0) throw DataFileError(name, 0, "UTF-16 text with an odd number of bytes.");
    std::string out;
    out.reserve(raw.size() / 2);
    const auto unit = [&](std::size_t i) -> char32_t {
        return le ? char32_t(byte(i) | (byte(i + 1) << 8)) : char32_t((byte(i) << 8) | byte(i + 1));
    };
    for (std::size_t i = 2; i < raw.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < raw.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // a lone surrogate
        appendUtf8(out, cp);
    }
    return out;
}

DataSet readExtendedText(std::string_view text, const std::string& name, const ReadOptions& options,
                         ReadReport report)
{
    report.plain = false;
    // Lines with content, comments dropped; line ends LF, CRLF or CR.
    std::vector<std::pair<std::size_t, std::string_view>> lines;
    bool semicolonOrTab = false;
    std::size_t number = 0;
    const char* const base = text.data();
    const std::size_t size = text.size();
    std::size_t lf = 0;  // the next LF at or after i, remembered: lone-CR files would rescan
    bool lfKnown = false;
    for (std::size_t i = 0; i < size;) {
        ++number;
        if (!lfKnown || lf < i) {
            const void* at = std::memchr(base + i, '\n', size - i);
            lf = at ? static_cast<std::size_t>(static_cast<const char*>(at) - base) : size;
            lfKnown = true;
        }
        std::size_t end = lf;
        if (const void* cr = std::memchr(base + i, '\r', lf - i)) end = static_cast<std::size_t>(static_cast<const char*>(cr) - base);
        std::string_view content = trim(text.substr(i, end - i));
        i = end;
        if (i < text.size()) i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        if (content.empty()) continue;
        const char c = content.front();
        if (c == '#' || c == '%' || c == '!' || content.starts_with("//")) continue;
        if (!semicolonOrTab && content.find_first_of(";\t") != std::string_view::npos) semicolonOrTab = true;
        lines.emplace_back(number, content);
    }

    // A decimal comma: fields separated by ';' or tabs, commas in the numbers and no point.
    bool decimalComma = false;
    TextRows classified;
    if (semicolonOrTab) {
        classified = classify(lines, true);
        decimalComma = classified.comma && !classified.point;
    }
    // The trial with a decimal comma is the reading when it holds; else read again without.
    if (!decimalComma) classified = classify(lines, false);
    const std::vector<TextLine>& rows = classified.lines;
    const std::vector<double>& values = classified.values;
    report.decimalComma = decimalComma;

    const auto first = std::find_if(rows.begin(), rows.end(), [](const TextLine& t) { return t.numeric; });
    if (first == rows.end())
        throw ColumnCountError(name, 0, "holds no line of numbers; two columns (abscissa, ordinate) are needed.");
    report.skippedLines = static_cast<std::size_t>(first - rows.begin());
    const std::size_t columns = first->count;
    report.columns = columns;
    std::vector<std::string> titles;
    if (first != rows.begin()) {
        const std::vector<Field> header = splitFields(lines[first - rows.begin() - 1].second, decimalComma, true);
        if (header.size() == columns)
            for (const Field& f : header) titles.push_back(std::string(trim(f.text)));
    }

    const bool chosen = options.xColumn || options.yColumn || options.xName || options.yName;
    std::size_t xc = 1, yc = 2;
    if (!chosen && columns != 2) {
        std::string msg = std::to_string(columns) + (columns == 1 ? " column" : " columns") +
                          " of numbers; two (abscissa, ordinate) are needed.";
        if (columns > 2) {
            msg += " Choose them with --columns X,Y (orvane-batch), e.g. --columns 1,3";
            if (!titles.empty()) {
                const std::string byTitle = std::string(withoutUnit(titles[0])) + "," + std::string(withoutUnit(titles[2]));
                if (byTitle.size() < 40 && byTitle.find_first_of("'\"") == std::string::npos)
                    msg += " or --columns '" + byTitle + "'";
            }
            msg += ".";
        }
        throw ColumnCountError(name, first->number, msg);
    }
    if (chosen) {
        if (options.xColumn || options.xName)
            xc = chooseColumn(options.xColumn, options.xName, titles, columns, name, first->number, "x");
        if (options.yColumn || options.yName)
            yc = chooseColumn(options.yColumn, options.yName, titles, columns, name, first->number, "y");
        else if (columns != 2)
            throw ColumnCountError(name, first->number,
                                   "the column of y is not chosen among " + std::to_string(columns) + " columns.");
        if (yc > columns)
            throw ColumnCountError(name, first->number, "the file has only " + std::to_string(columns) + " column(s).");
    }
    report.xColumn = xc;
    report.yColumn = yc;
    if (!titles.empty()) {
        report.xHeader = titles[xc - 1];
        report.yHeader = titles[yc - 1];
    }

    DataSet set;
    for (auto it = first; it != rows.end(); ++it) {
        if (!it->numeric) {
            for (const Field& f : splitFields(lines[it - rows.begin()].second, decimalComma)) {
                if (f.text.empty() && !f.quoted)
                    throw DataFileError(name, it->number, "empty field in " + quoteForMessage(lines[it - rows.begin()].second));
                if (!fieldNumber(f, decimalComma))
                    throw DataFileError(name, it->number, quoteForMessage(f.text) + " is not a number");
            }
        }
        if (it->count != columns) {
            const std::size_t n = it->count;
            throw DataFileError(name, it->number,
                                std::to_string(n) + (n == 1 ? " number" : " numbers") + " where the first data line has " +
                                    std::to_string(columns) + ": " + quoteForMessage(lines[it - rows.begin()].second));
        }
        report.quotedFields = report.quotedFields || it->quoted;
        set.abscissa.push_back(values[it->start + xc - 1]);
        set.ordinate.push_back(values[it->start + yc - 1]);
        set.lines.push_back(it->number);
    }

    // Units of x: named by the user, or by the column title.
    const std::string titleUnit = report.xHeader.empty() ? std::string() : unitOfTitle(report.xHeader);
    const std::string unit = !options.xUnit || *options.xUnit == "header" ? titleUnit
                             : *options.xUnit == "none"                   ? std::string()
                                                                          : *options.xUnit;
    if (!unit.empty()) {
        const double scale = unitScale(unit);
        if (scale == 0) throw Error("Unknown unit of x " + quoteForMessage(unit) + ": Hz, kHz, MHz, GHz, s, ms, us, ns or ps.");
        report.xUnit = unit;
        report.xScale = scale;
        if (scale != 1)
            for (std::size_t k = 0; k < set.abscissa.size(); ++k)
                if (!std::isfinite(set.abscissa[k] *= scale))
                    throw DataFileError(name, set.lines[k], "x in " + unit + " is out of range of numbers in Hz or s");
    }
    set.report = std::move(report);
    finishDataSet(name, set, options.mergeDuplicates);
    return set;
}

}  // namespace orvane

namespace orvane {

std::string ReadReport::summary() const
{
    if (plain) return mergedSamples ? std::to_string(mergedSamples) + " samples merged into the one before them" : "";
    std::string s = format;
    if (encoding != "UTF-8") s += ", " + encoding;
    if (ports) {
        s += ", " + std::to_string(ports) + " port" + (ports == 1 ? "" : "s") + " (" + storedFormat + "), " + parameter +
             " as " + quantity + ", frequency " + xUnit + " → Hz";
        if (!referenceImpedance.empty()) s += ", reference " + num2str(referenceImpedance.front()) + " ohm";
    } else {
        s += ", columns " + std::to_string(xColumn) + "," + std::to_string(yColumn) + " of " + std::to_string(columns);
        if (!xHeader.empty()) s += " (" + xHeader + ", " + yHeader + ")";
        if (!xUnit.empty()) s += ", x in " + xUnit + (xScale != 1 ? " × " + num2str(xScale) : std::string());
        if (skippedLines) s += ", " + std::to_string(skippedLines) + " metadata line" + (skippedLines == 1 ? "" : "s") + " skipped";
        if (decimalComma) s += ", decimal comma";
        if (quotedFields) s += ", quoted fields";
    }
    if (mergedSamples) s += ", " + std::to_string(mergedSamples) + " samples merged";
    return s;
}

}  // namespace orvane

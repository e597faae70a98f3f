#include "desktop/read_preview.h"

#include "base/text.h"
#include "formats/dlmread.h"
#include "formats/extended_read.h"

namespace orvane {

namespace {

constexpr std::size_t kShownLines = 12;    // lines the dialog shows
constexpr std::size_t kProbedLines = 400;  // lines read again to name each column

std::vector<std::string> firstLines(std::string_view text, std::size_t count)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size() && out.size() < count;) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) end = text.size();
        out.push_back(escapeControlCharacters(std::string(text.substr(i, end - i))));
        i = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return out;
}

// The first `count` lines of `text`, for reading a file's head only.
std::string_view head(std::string_view text, std::size_t count)
{
    std::size_t at = 0;
    for (std::size_t k = 0; k < count && at < text.size(); ++k) {
        at = text.find('\n', at);
        if (at == std::string_view::npos) return text;
        ++at;
    }
    return text.substr(0, at);
}

// "text, UTF-16LE, 3 columns of numbers (Freq [MHz], …), x in MHz, 5 metadata lines skipped,
// decimal comma"; a Touchstone file as its reader says it.
std::string describeFound(const ReadReport& r)
{
    if (r.ports) return r.summary();
    std::string s = r.format;
    if (r.encoding != "UTF-8") s += ", " + r.encoding;
    s += ", " + std::to_string(r.columns) + (r.columns == 1 ? " column" : " columns") + " of numbers";
    if (!r.xUnit.empty()) s += ", x in " + r.xUnit;
    if (r.skippedLines) s += ", " + std::to_string(r.skippedLines) + " metadata line" + (r.skippedLines == 1 ? "" : "s") + " skipped";
    if (r.decimalComma) s += ", decimal comma";
    if (r.quotedFields) s += ", quoted fields";
    return escapeControlCharacters(s);
}

}  // namespace

std::optional<ReadPreview> previewDataFile(const std::string& path, bool phase)
{
    ReadPreview p;
    p.path = path;
    p.suggested.quantity = phase ? ReadOptions::Quantity::PhaseDeg : ReadOptions::Quantity::Db;
    try {
        const DataSet set = readDataSet(path, p.suggested);
        if (set.report.plain) return std::nullopt;
        p.detected = set.report;
    } catch (const ColumnCountError& e) {
        p.problem = e.reason();
    } catch (const Error&) {
        // Unreadable, or two columns with a fault: loading names it as it always did.
        return std::nullopt;
    }

    std::string text;
    try {
        ReadReport decoded;
        text = decodeDataText(readDataFile(path), path, decoded);
        if (!p.problem.empty()) p.detected = decoded;
    } catch (const Error&) {
        return std::nullopt;
    }
    p.firstLines = firstLines(text, kShownLines);
    p.touchstone = p.detected.ports > 0;
    if (p.touchstone) {
        for (std::size_t i = 1; i <= p.detected.ports; ++i)
            for (std::size_t j = 1; j <= p.detected.ports; ++j) p.parameters.push_back("S" + std::to_string(i) + std::to_string(j));
        p.suggested.parameter = p.detected.parameter;
        p.found = describeFound(p.detected);
        return p;
    }

    // A text file: its head read once per column names them (the title over each).
    const std::string_view probe = head(text, kProbedLines);
    ReadOptions pick = p.suggested;
    pick.xColumn = 1;
    pick.yColumn = 2;
    try {
        const DataSet first = readExtendedText(probe, path, pick, p.detected);
        if (!p.problem.empty()) p.detected = first.report;
    } catch (const Error&) {
    }
    const std::size_t columns = std::max<std::size_t>(p.detected.columns, 2);
    for (std::size_t k = 1; k <= columns; ++k) {
        std::string title = k == 1 ? p.detected.xHeader : std::string();
        pick.yColumn = k;
        try {
            if (k > 1) title = readExtendedText(probe, path, pick, ReadReport{}).report.yHeader;
        } catch (const Error&) {
        }
        p.columns.push_back(std::to_string(k) + (title.empty() ? "" : ": " + escapeControlCharacters(title)));
    }
    p.suggested.xColumn = p.detected.xColumn;
    p.suggested.yColumn = p.detected.yColumn;
    p.found = describeFound(p.detected);
    // The dialog offers the choice the batch command's advice is about.
    if (p.detected.columns > 2 && !p.problem.empty())
        p.problem = std::to_string(p.detected.columns) + " columns of numbers: pick the abscissa and the ordinate below.";
    return p;
}

}  // namespace orvane

#include "formats/data_set.h"

#include "formats/dlmread.h"
#include "formats/extended_read.h"
#include "base/interp.h"
#include "base/error.h"
#include "base/text.h"

#include <algorithm>
#include <cctype>

namespace orvane {

namespace {

void checkAbscissa(const std::string& path, const DataSet& set)
{
    const std::size_t bad = findUnusableAbscissa(set.abscissa);
    if (bad != static_cast<std::size_t>(-1)) {
        const double now = set.abscissa[bad], before = set.abscissa[bad - 1];
        const std::string what = now < before
            ? "the abscissa " + num2str(now) + " is smaller than the one before it (" + num2str(before) + "); abscissae must increase."
            : "the last sample repeats the abscissa " + num2str(now) + " of the sample before it.";
        throw DataFileError(path, set.lines[bad], what);
    }
}

bool startsWithVersionKeyword(std::string_view text)
{
    std::size_t i = 0;
    for (;;) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i < text.size() && text[i] == '!') {  // Touchstone comment lines may come first
            i = text.find('\n', i);
            if (i == std::string_view::npos) return false;
            continue;
        }
        break;
    }
    std::string head(text.substr(i, 9));
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
    return head == "[version]";
}

bool isTouchstoneName(const std::string& path)
{
    if (touchstonePorts(path) > 0) return true;
    std::string tail = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".ts";
}

}  // namespace

void finishDataSet(const std::string& name, DataSet& set, bool mergeDuplicates)
{
    if (mergeDuplicates && !set.abscissa.empty()) {
        std::size_t out = 0;
        for (std::size_t k = 0; k < set.abscissa.size();) {
            std::size_t e = k + 1;
            double sum = set.ordinate[k];
            while (e < set.abscissa.size() && set.abscissa[e] == set.abscissa[k]) sum += set.ordinate[e++];
            set.abscissa[out] = set.abscissa[k];
            set.ordinate[out] = e - k == 1 ? sum : sum / static_cast<double>(e - k);
            set.lines[out] = set.lines[k];
            ++out;
            k = e;
        }
        set.report.mergedSamples = set.abscissa.size() - out;
        set.abscissa.resize(out);
        set.ordinate.resize(out);
        set.lines.resize(out);
    }
    checkAbscissa(name, set);
}

DataSet readDataSet(const std::string& file)
{
    const DataTable table = readDataTable(file);
    const std::string path = standardInputName(file);
    if (table.values.rows == 0)
        throw ColumnCountError(path, 0, "holds no line of numbers; two columns (abscissa, ordinate) are needed.");
    if (table.values.cols != 2)
        throw ColumnCountError(path, table.lines.front(),
                               std::to_string(table.values.cols) + (table.values.cols == 1 ? " column" : " columns") +
                                   " of numbers; two (abscissa, ordinate) are needed.");
    DataSet set;
    set.abscissa = table.values.column(0);
    set.ordinate = table.values.column(1);
    set.lines = table.lines;
    checkAbscissa(path, set);
    return set;
}

DataSet readDataSet(const std::string& file, const ReadOptions& options)
{
    const std::string raw = readDataFile(file);
    const std::string path = standardInputName(file);
    ReadReport report;
    // UTF-8 is read where it lies; only UTF-16 is converted into a copy.
    std::string decoded;
    std::string_view text = raw;
    if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF"))
        text = decoded = decodeDataText(raw, path, report);
    else if (raw.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (isTouchstoneName(path) || startsWithVersionKeyword(text))
        return readTouchstone(text, path, options, touchstonePorts(path), std::move(report));

    const bool chosen = options.xColumn || options.yColumn || options.xName || options.yName || options.xUnit;
    std::optional<DataFileError> plainError;
    if (!chosen && report.encoding == "UTF-8") {
        // What the plain reader takes as two columns loads exactly as it always did.
        try {
            const DataTable table = parseDelimitedText(raw, path);
            if (table.values.rows > 0 && table.values.cols == 2) {
                DataSet set;
                set.abscissa = table.values.column(0);
                set.ordinate = table.values.column(1);
                set.lines = table.lines;
                finishDataSet(path, set, options.mergeDuplicates);
                return set;
            }
        } catch (const ColumnCountError&) {
            throw;
        } catch (const DataFileError& e) {
            if (e.line() == 0) throw;
            plainError = e;
        }
    }
    try {
        return readExtendedText(text, path, options, std::move(report));
    } catch (const ColumnCountError&) {
        throw;
    } catch (const DataFileError& e) {
        // A file neither reader takes: the plain reader's message, as it always was, unless
        // that reader stopped in what was a metadata block before the numbers.
        if (plainError && plainError->line() >= e.line()) throw *plainError;
        throw;
    }
}

}  // namespace orvane

#include "analysis/reports.h"

#include "formats/file_write.h"
#include "base/parallel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane {
namespace {

// Room for any double in fixed notation (309 integer digits, sign, point, 8 decimals).
constexpr std::size_t kNumberRoom = 340;

// A table value: whole numbers in full without a decimal point, others in the shortest
// text that reads back to the same double. to_chars ignores the process locale.
// `p` must have kNumberRoom characters of room; gives the end of the text.
char* putValue(char* p, double x)
{
    char* const room = p + kNumberRoom;
    if (x == 0.0) {
        *p++ = '0';  // also for -0
        return p;
    }
    if (std::isnan(x)) return std::copy_n("NaN", 3, p);
    if (std::isinf(x)) return x > 0 ? std::copy_n("Inf", 3, p) : std::copy_n("-Inf", 4, p);
    if (x == std::trunc(x)) {
        // Integer printing is much faster than the double routines; beyond int64 the fixed
        // form still gives the digits without a point or exponent.
        if (std::fabs(x) < 9.2e18) return std::to_chars(p, room, static_cast<std::int64_t>(x)).ptr;
        return std::to_chars(p, room, x, std::chars_format::fixed).ptr;
    }
    return std::to_chars(p, room, x).ptr;
}

// Rows [first, last) of a row-major table, values separated by one blank. Written through
// a pointer into a buffer sized up front: appending value by value costs a sixth more.
std::string formatRows(const double* data, std::size_t cols, std::size_t first, std::size_t last)
{
    // Almost every value fits in 25 characters with its separator; the rare long whole
    // number makes the buffer grow.
    std::string out((last - first) * cols * 25 + kNumberRoom + 1, '\0');
    std::size_t used = 0;
    for (std::size_t r = first; r < last; ++r) {
        const double* row = data + r * cols;
        for (std::size_t c = 0; c < cols; ++c) {
            if (out.size() - used < kNumberRoom + 1) out.resize(2 * out.size());
            char* p = out.data() + used;
            if (c > 0) *p++ = ' ';
            p = putValue(p, row[c]);
            used = static_cast<std::size_t>(p - out.data());
        }
        out[used++] = '\n';  // room kept by the check above
    }
    out.resize(used);
    return out;
}

// The table as text, in pieces to be written in order. Shortest round-trip formatting
// costs some 50 ns a value, so a long signal is formatted in blocks on all cores.
std::vector<std::string> formatTable(const double* data, std::size_t rows, std::size_t cols)
{
    constexpr std::size_t kValuesPerBlock = std::size_t{1} << 16;
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, kValuesPerBlock / std::max<std::size_t>(cols, 1));
    const std::size_t blocks = cols == 0 ? 0 : (rows + rowsPerBlock - 1) / rowsPerBlock;
    std::vector<std::string> parts(blocks);
    parallelFor(blocks, rowsPerBlock * cols, [&](std::size_t b) {
        parts[b] = formatRows(data, cols, b * rowsPerBlock, std::min(rows, (b + 1) * rowsPerBlock));
    });
    return parts;
}

// printf "%5.8f" without the locale's decimal point.
void appendFixed8(std::string& out, double x)
{
    char buf[kNumberRoom];
    const char* end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 8).ptr;
    const auto length = static_cast<std::size_t>(end - buf);
    if (length < 5) out.append(5 - length, ' ');
    out.append(buf, length);
}

std::filesystem::path fileIn(const std::filesystem::path& folder, std::string_view name, std::string_view suffix)
{
    std::string file(name);
    file += suffix;
    return folder / file;
}

// The first two lines of a block: the name framed by tabs, then an empty line.
void appendHeader(std::string& out, std::string_view name)
{
    out += " \t\t\t";
    out += name;
    out += " \t\t\t \n\n";
}

}  // namespace

void writeValues(const std::filesystem::path& folder, std::span<const double> column, std::string_view name)
{
    writeFileAtomically(fileIn(folder, name, ".txt"), formatTable(column.data(), column.size(), 1));
}

void writeValues(const std::filesystem::path& folder, const Histogram& histogram, std::string_view name)
{
    writeValues(folder, std::span<const double>(histogram), name);
}

void writeValues(const std::filesystem::path& folder, const Matrix& m, std::string_view name)
{
    writeFileAtomically(fileIn(folder, name, ".txt"), formatTable(m.data.data(), m.rows, m.cols));
}

void writeMeasureAverages(const std::filesystem::path& folder, const std::array<double, 3>& P, std::string_view name,
                          double Kadm, double Kfdm)
{
    std::string text;
    appendHeader(text, name);
    text += "Parameter \t\t\tValue\n\n";
    const std::string_view rows[3] = {"tot    \t\t\t ", "conf   \t\t\t ", "pw_conv\t\t\t "};
    for (int i = 0; i < 3; ++i) {
        text += name;
        text += rows[i];
        appendFixed8(text, P[i]);
        text += " \n";
    }
    // An ADM file names only Kadm and an FDM file only Kfdm; a GDM file (or one where
    // neither applies) names both.
    const bool onlyKadm = Kadm != -1 && Kfdm == -1;
    const bool onlyKfdm = Kfdm != -1 && Kadm == -1;
    if (!onlyKfdm) {
        text += "Kadm\t\t\t\t ";
        appendFixed8(text, Kadm);
        text += " \n";
    }
    if (!onlyKadm) {
        text += "Kfdm\t\t\t\t ";
        appendFixed8(text, Kfdm);
        text += " \n";
    }
    writeFileAtomically(fileIn(folder, name, "_average.txt"), text);
}

void writeGradeSpreadReport(const std::filesystem::path& folder,
                const GradeRecord& gradeA, const GradeRecord& spreadA, std::string_view nameA,
                const GradeRecord& gradeF, const GradeRecord& spreadF, std::string_view nameF,
                const GradeRecord& gradeG, const GradeRecord& spreadG, std::string_view nameG,
                std::string_view base, std::string_view thr)
{
    struct Block {
        const GradeRecord& grade;
        const GradeRecord& spread;
        std::string_view name;
    };
    const Block blocks[3] = {{gradeA, spreadA, nameA}, {gradeF, spreadF, nameF}, {gradeG, spreadG, nameG}};

    std::string text;
    for (const Block& b : blocks) {
        appendHeader(text, b.name);
        text += "Grade-Value \t Grade-Range \t Spread-Value \t Spread-Range\n\n";
        appendFixed8(text, b.grade.value);
        text += " \t\t ";
        text += b.grade.range;
        text += " \t\t ";
        appendFixed8(text, b.spread.value);
        text += " \t\t ";
        text += b.spread.range;
        text += " \n\n";
    }
    std::string file(base);
    file += '_';
    file += thr;
    file += ".txt";
    writeFileAtomically(folder / file, text);
}

}  // namespace orvane

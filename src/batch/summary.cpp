#include "batch/summary.h"

#include "batch/guard.h"
#include "batch/table.h"
#include "base/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

namespace orvane {

namespace {

std::string fixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

const char* kindOf(const std::string& domain)
{
    if (domain == "magnitude") return "frequency-domain magnitude";
    if (domain == "phase") return "frequency-domain phase";
    return "time-domain";
}

struct MeasureView {
    const char* name;
    const Vec& total;
    const GradeSpread& gs;
};

std::vector<MeasureView> measures(const AnalysisResult& r)
{
    return {{"ADM", r.adm.ADMtot, r.ADM}, {"FDM", r.fdm.FDMtot, r.FDM}, {"GDM", r.gdm.GDMtot, r.GDM}};
}

std::string jsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The shortest text that reads back to the same double (JSON has no not-a-number).
std::string jsonNumber(double v)
{
    if (!std::isfinite(v)) return "null";
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, end);
}

std::string gridDescription(const std::string& kind)
{
    if (kind.empty()) return "spaced at the finest sample spacing";
    if (kind == "logarithmic") return "spaced logarithmically";
    if (kind == "uniform") return "spaced uniformly";
    return kind;
}

}  // namespace

void printSummaryTable(std::ostream& out, const AnalysisResult& r, const SummaryInfo& info)
{
    out << shown(info.folder) << "\n\n";
    out << "Orvane FSV analysis: " << r.N_DATA << " data sets, " << kindOf(info.domain) << " analysis, threshold "
        << info.thrs << " %, GDM weighting " << (info.weighting ? "yes" : "no") << '\n';
    out << "Common grid: " << r.abscissa.size() << " points from " << num2str(r.abscissa.front()) << " to "
        << num2str(r.abscissa.back()) << ", " << gridDescription(r.gridKind) << '\n';
    if (!info.gridWarning.empty()) out << "Warning: " << shown(info.gridWarning) << '\n';
    out << '\n';
    for (std::size_t k = 0; k < info.files.size(); ++k) out << "Set " << k + 1 << ": " << shown(info.files[k]) << '\n';
    out << "Set " << r.N_DATA + 1 << ": average of the sets above\n\n";

    using A = TextTable::Align;
    TextTable table({"Set", "Measure", "Total", "Grade", "Range", "Spread", "Range", "K_adm", "K_fdm"},
                    {A::Right, A::Left, A::Right, A::Right, A::Left, A::Right, A::Left, A::Right, A::Right});
    const auto views = measures(r);
    for (std::size_t k = 0; k <= r.N_DATA; ++k) {
        const std::string set = k == r.N_DATA ? "avg" : std::to_string(k + 1);
        for (std::size_t m = 0; m < views.size(); ++m) {
            const MeasureView& v = views[m];
            const bool gdm = m == 2;
            table.addRow({set, v.name, fixed(v.total[k], 6), num2str(v.gs.Grade[k].value),
                          std::string(trimTrailingBlanks(v.gs.Grade[k].range)), num2str(v.gs.Spread[k].value),
                          v.gs.Spread[k].range, gdm ? fixed(r.Kadm[k], 4) : "", gdm ? fixed(r.Kfdm[k], 4) : ""});
        }
    }
    table.print(out);
}

void printSummaryJson(std::ostream& out, const AnalysisResult& r, const SummaryInfo& info)
{
    out << "{\n  \"folder\": " << jsonString(info.folder) << ",\n  \"domain\": " << jsonString(info.domain)
        << ",\n  \"threshold\": " << jsonString(info.thrs) << ",\n  \"weighting\": " << (info.weighting ? "true" : "false")
        << ",\n  \"N_DATA\": " << r.N_DATA << ",\n  \"grid\": {\"kind\": "
        << jsonString(r.gridKind.empty() ? "finest" : r.gridKind) << ", \"points\": " << r.abscissa.size()
        << ", \"from\": " << jsonNumber(r.abscissa.front()) << ", \"to\": " << jsonNumber(r.abscissa.back())
        << (info.gridWarning.empty() ? "" : ", \"warning\": " + jsonString(info.gridWarning)) << "},\n  \"sets\": [\n";
    const auto views = measures(r);
    for (std::size_t k = 0; k <= r.N_DATA; ++k) {
        out << "    {\"set\": " << k + 1 << ", \"file\": "
            << (k < info.files.size() ? jsonString(info.files[k]) : std::string("null"))
            << ", \"average\": " << (k == r.N_DATA ? "true" : "false");
        for (const MeasureView& v : views) {
            out << ",\n     " << jsonString(v.name) << ": {\"total\": " << jsonNumber(v.total[k])
                << ", \"grade\": " << jsonNumber(v.gs.Grade[k].value)
                << ", \"grade_range\": " << jsonString(std::string(trimTrailingBlanks(v.gs.Grade[k].range)))
                << ", \"spread\": " << jsonNumber(v.gs.Spread[k].value)
                << ", \"spread_range\": " << jsonString(v.gs.Spread[k].range) << "}";
        }
        out << ",\n     \"K_adm\": " << jsonNumber(r.Kadm[k]) << ", \"K_fdm\": " << jsonNumber(r.Kfdm[k]) << "}"
            << (k == r.N_DATA ? "\n" : ",\n");
    }
    out << "  ]\n}\n";
}

}  // namespace orvane

#include "batch/summary.h"

#include "batch/guard.h"
#include "batch/table.h"
#include "analysis/summaries.h"
#include "base/text.h"

#include <cmath>
#include <cstdio>

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
    if (r.reference == 0) {
        for (std::size_t k = 0; k < info.files.size(); ++k) out << "Set " << k + 1 << ": " << shown(info.files[k]) << '\n';
        out << "Set " << r.N_DATA + 1 << ": average of the sets above\n\n";
    } else {
        // Each row is one set against the chosen reference; say so, and which set that is.
        for (std::size_t k = 0; k < info.files.size(); ++k)
            out << "Set " << k + 1 << ": " << shown(info.files[k]) << "  ("
                << (k + 1 == r.reference ? "the reference itself" : comparisonOf(r, k)) << ")\n";
        out << "Set " << r.N_DATA + 1 << " (ref): the reference, set " << r.reference << ", in the average's place\n\n";
    }

    using A = TextTable::Align;
    TextTable table({"Set", "Measure", "Total", "Grade", "Range", "Spread", "Range", "K_adm", "K_fdm"},
                    {A::Right, A::Left, A::Right, A::Right, A::Left, A::Right, A::Left, A::Right, A::Right});
    const auto views = measures(r);
    for (std::size_t k = 0; k <= r.N_DATA; ++k) {
        const std::string set = k < r.N_DATA ? std::to_string(k + 1) : r.reference == 0 ? "avg" : "ref";
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

}  // namespace orvane

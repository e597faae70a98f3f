// orvane-batch: the whole FSV analysis of 2 to 8 data files, without windows.
//
// Exit status: 0 success, 1 a data error (message on stderr), 2 a usage error.

#include "app/analysis.h"
#include "app/session.h"
#include "batch/table.h"
#include "input/data_set.h"
#include "runtime/error.h"
#include "runtime/text.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>

namespace orvane {
namespace {

// Answers the analysis's questions from the command line's options; shows every other
// message on stderr.
class BatchDialogs : public Dialogs {
public:
    explicit BatchDialogs(bool weighting) : weighting_(weighting) {}

    std::string question(const Question& q) override
    {
        if (q.message == "Do you want GDM weighting?") return weighting_ ? "YES" : "NO";
        std::cerr << "orvane-batch: " << q.message << '\n';
        return q.defaultButton;
    }
    void warning(const std::string& message, const std::string&) override
    {
        std::cerr << "orvane-batch: warning: " << message << '\n';
    }
    void error(const std::string& message, const std::string& title) override
    {
        std::cerr << "orvane-batch: " << title << ": " << message << '\n';
    }

private:
    bool weighting_;
};

std::string fixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

void printResults(std::ostream& out, const AnalysisResult& r, const std::vector<std::string>& files,
                  const std::string& domain, const std::string& thrs, bool weighting)
{
    const std::map<std::string, std::string> kinds = {
        {"time", "time-domain"}, {"magnitude", "frequency-domain magnitude"}, {"phase", "frequency-domain phase"}};
    out << "Orvane FSV analysis: " << r.N_DATA << " data sets, " << kinds.at(domain) << " analysis, threshold " << thrs
        << " %, GDM weighting " << (weighting ? "yes" : "no") << '\n';
    out << "Common grid: " << r.Mfreq.size() << " points from " << num2str(r.Mfreq.front()) << " to "
        << num2str(r.Mfreq.back()) << "\n\n";
    for (std::size_t k = 0; k < files.size(); ++k) out << "Set " << k + 1 << ": " << files[k] << '\n';
    out << "Set " << r.N_DATA + 1 << ": average of the sets above\n\n";

    using A = TextTable::Align;
    TextTable table({"Set", "Measure", "Total", "Grade", "Range", "Spread", "Range", "K_adm", "K_fdm"},
                    {A::Right, A::Left, A::Right, A::Right, A::Left, A::Right, A::Left, A::Right, A::Right});
    struct Row {
        const char* name;
        const Vec& total;
        const GradeSpread& gs;
    };
    const Row rows[] = {{"ADM", r.adm.ADMtot, r.ADM}, {"FDM", r.fdm.FDMtot, r.FDM}, {"GDM", r.gdm.GDMtot, r.GDM}};
    for (std::size_t k = 0; k <= r.N_DATA; ++k) {
        const std::string set = k == r.N_DATA ? "avg" : std::to_string(k + 1);
        for (const Row& row : rows) {
            const bool gdm = &row == &rows[2];
            table.addRow({set, row.name, fixed(row.total[k], 6), num2str(row.gs.Grade[k].value),
                          std::string(trimTrailingBlanks(row.gs.Grade[k].range)), num2str(row.gs.Spread[k].value),
                          row.gs.Spread[k].range, gdm ? fixed(r.Kadm[k], 4) : "", gdm ? fixed(r.Kfdm[k], 4) : ""});
        }
    }
    table.print(out);
}

int run(int argc, char** argv)
{
    CLI::App app{"Rates the agreement of 2 to 8 data sets with the Feature Selective Validation method.",
                 "orvane-batch"};
    std::string domain = "time";
    std::string thrs = "85";
    std::string weighting = "yes";
    std::size_t maxPoints = kDefaultMaxGridPoints;
    std::vector<std::string> files;
    app.add_option("-d,--domain", domain, "Domain of the data: time, magnitude or phase")
        ->check(CLI::IsMember({"time", "magnitude", "phase"}))
        ->capture_default_str();
    app.add_option("-t,--threshold", thrs, "Threshold of grade and spread in percent (0 … 100)")
        ->capture_default_str();
    app.add_option("-w,--weighting", weighting, "Weight the GDM by the spreads of ADM and FDM: yes or no")
        ->check(CLI::IsMember({"yes", "no"}))
        ->capture_default_str();
    app.add_option("--max-points", maxPoints, "Largest common grid accepted, in points")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_option("files", files, "Data files, two numbers per line (abscissa, ordinate)")
        ->required()
        ->expected(2, 8);
    try {
        app.parse(argc, argv);
        const double t = str2double(thrs);
        if (!(t >= 0 && t <= 100)) throw CLI::ValidationError("--threshold", "must be a number from 0 to 100");
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    try {
        SetList Md, Mf;
        for (const std::string& file : files) {
            std::optional<DataSet> set = readDataSet(file);
            if (!set) {
                std::cerr << "orvane-batch: " << file << ": Error Data Input: format wrong (exactly two numbers per line expected)\n";
                return 1;
            }
            Mf.push_back(std::move(set->abscissa));
            Md.push_back(std::move(set->ordinate));
        }
        BatchDialogs dialogs(weighting == "yes");
        PlotContext plots;
        plots.T = domain == "phase" ? 2 : 1;
        AnalysisSettings settings{thrs, maxPoints};
        std::optional<AnalysisResult> result = computeAnalysis(Md, Mf, settings, dialogs, plots);
        if (!result) return 1;
        printResults(std::cout, *result, files, domain, thrs, weighting == "yes");
        return 0;
    } catch (const Error& e) {
        std::cerr << "orvane-batch: " << e.what() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "orvane-batch: not enough memory for this analysis\n";
        return 1;
    }
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv)
{
    return orvane::run(argc, argv);
}

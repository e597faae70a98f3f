#include "python/analyse.h"

#include "analysis/figure_files.h"
#include "analysis/session.h"
#include "base/error.h"

#include <chrono>

namespace fs = std::filesystem;

namespace orvane::python {

namespace {

// Answers the pipeline from the call's arguments; with an output folder, the figures and
// charts become figure files there, as the batch command saves them by default.
class ModuleHost : public AnalysisHost, private Dialogs {
public:
    ModuleHost(const AnalysisSettings& settings, bool weighting, std::optional<fs::path> output,
               std::vector<std::string>& warnings)
        : weighting_(weighting), output_(std::move(output)), warnings_(warnings), files_(session_, *this)
    {
        session_.D = settings.D;
        session_.T = settings.T;
        session_.thrs = settings.thrs;
        session_.S_MARKER = settings.S_MARKER;
        session_.figureFormat = "fig";
        session_.saveCharts = 1;
        if (output_) session_.outputFolder = output_->string();
    }

    bool weightGdm() override { return weighting_; }
    std::optional<fs::path> outputFolder() override { return output_ ? *output_ : fs::path(); }
    void analysisFolderMade(const fs::path& folder) override { session_.analysisFolderName = folder.filename().string(); }
    GraphicSink* graphics() override { return output_ ? &files_ : nullptr; }
    ChartSink* charts() override { return output_ ? &files_ : nullptr; }

private:
    std::string question(const Question& q) override { return q.defaultButton; }
    void warning(const std::string& message, const std::string&) override { warnings_.push_back(message); }
    void error(const std::string& message, const std::string& title) override { warnings_.push_back(title + ": " + message); }

    bool weighting_;
    std::optional<fs::path> output_;
    std::vector<std::string>& warnings_;
    Session session_;
    FigureFiles files_;
};

// "data set 1: /…/a.txt, line 2; data set 2: sample 40", as the batch command names them.
std::string locate(const NoCommonRangeError& e, const std::vector<std::string>& sources,
                   const std::vector<std::vector<std::size_t>>& lines)
{
    std::string where;
    for (const NoCommonRangeError::Sample& s : e.samples()) {
        if (s.set == 0 || s.set > sources.size()) continue;
        const std::size_t k = s.set - 1;
        where += where.empty() ? " (" : "; ";
        where += "data set " + std::to_string(s.set) + ": ";
        if (sources[k].empty())
            where += "sample " + std::to_string(s.sample);
        else if (s.sample >= 1 && s.sample <= lines[k].size())
            where += sources[k] + ", line " + std::to_string(lines[k][s.sample - 1]);
        else
            where += sources[k];
    }
    return e.reason() + (where.empty() ? "" : where + ")");
}

// The output folder as the batch command takes it: absolute, made with its parents when missing.
fs::path outputFolder(const fs::path& wanted)
{
    const fs::path folder = fs::absolute(wanted);
    std::error_code ec;
    if (!fs::exists(folder, ec)) fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec))
        throw Error("The output folder " + folder.string() + " could not be made or is not a folder" +
                    (ec ? ": " + ec.message() + "." : "."));
    return folder.lexically_normal();
}

}  // namespace

AnalysisOutcome analyse(AnalysisRequest request)
{
    AnalysisOutcome outcome;
    SetList Md, Mf;
    std::vector<std::vector<std::size_t>> lines;
    bool anyFile = false;
    for (SetInput& input : request.sets) {
        if (input.path.empty()) {
            outcome.sources.emplace_back();
            outcome.readReports.emplace_back();
            lines.emplace_back();
            Mf.push_back(std::move(input.x));
            Md.push_back(std::move(input.y));
            continue;
        }
        anyFile = true;
        const std::string path = fs::absolute(input.path).string();
        DataSet set = readDataSet(path, input.options);
        outcome.sources.push_back(path);
        outcome.readReports.push_back(set.report);
        lines.push_back(std::move(set.lines));
        Mf.push_back(std::move(set.abscissa));
        Md.push_back(std::move(set.ordinate));
    }
    AnalysisSettings& settings = request.settings;
    settings.sourceNames = outcome.sources;
    if (anyFile) settings.readReports = outcome.readReports;
    if (request.output) request.output = outputFolder(*request.output);

    ModuleHost host(settings, request.weighting, request.output, outcome.warnings);
    try {
        const auto start = std::chrono::steady_clock::now();
        std::optional<AnalysisResult> result = runAnalysis(settings, Md, Mf, host);
        outcome.analysisSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!result) throw Error("The analysis stopped before its end.");
        outcome.result = std::move(*result);
        outcome.settings = std::move(settings);
    } catch (const NoCommonRangeError& e) {
        throw Error(std::string(e.what()) + ": " + locate(e, outcome.sources, lines));
    }
    return outcome;
}

}  // namespace orvane::python

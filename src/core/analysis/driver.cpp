#include "analysis/driver.h"

#include "analysis/analysis.h"
#include "base/error.h"
#include "formats/data_set.h"
#include "formats/dlmread.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace orvane {

namespace {

// A "Quit Program" question with one "OK" button.
void quitQuestion(Dialogs& ui, const std::string& message, const std::string& detail = {})
{
    ui.question({message, kQuitTitle, {"OK"}, "OK", detail});
}

// The session's front end as the pipeline's host.
// Where a loaded set came from, to name files and lines in messages.
struct LoadedFile {
    std::string path;
    std::vector<std::size_t> lines;
    ReadReport read;
};

// "…: they do not overlap (data set 1: a.txt, line 2; data set 2: b.txt, line 40)".
std::string locate(const NoCommonRangeError& e, const std::vector<LoadedFile>& files)
{
    std::string where;
    for (const NoCommonRangeError::Sample& s : e.samples()) {
        if (s.set == 0 || s.set > files.size()) continue;
        const LoadedFile& f = files[s.set - 1];
        where += where.empty() ? " (" : "; ";
        where += "data set " + std::to_string(s.set) + ": " + f.path;
        if (s.sample >= 1 && s.sample <= f.lines.size()) where += ", line " + std::to_string(f.lines[s.sample - 1]);
    }
    return e.reason() + (where.empty() ? "" : where + ")");
}

class SessionHost : public AnalysisHost {
public:
    SessionHost(Session& s, DriverUi& ui, const FigureSinks& sinks, const std::vector<LoadedFile>& files)
        : s_(s), ui_(ui), sinks_(sinks), files_(files)
    {
    }

    bool weightGdm() override
    {
        const bool weighting = ui_.weightGdm();
        s_.gdmWeighting = weighting;
        return weighting;
    }
    std::optional<fs::path> outputFolder() override
    {
        s_.outputFolder = ui_.chooseFolder("Select Folder for OUTPUT Data", s_.startFolder);
        if (s_.outputFolder.empty()) return std::nullopt;
        return fs::path(s_.outputFolder);
    }
    void noCommonRange(const NoCommonRangeError& e) override { quitQuestion(ui_, e.what(), locate(e, files_)); }
    void denseGrid(const DenseGrid& grid) override { ui_.denseGrid(grid); }
    void analysisFolderMade(const fs::path& folder) override { s_.analysisFolderName = folder.filename().string(); }
    std::unique_ptr<Progress> openProgress() override { return ui_.openProgress(kProgressStages, kProgressTitle); }
    GraphicSink* graphics() override { return sinks_.graphics; }
    ChartSink* charts() override { return sinks_.charts; }

private:
    Session& s_;
    DriverUi& ui_;
    FigureSinks sinks_;
    const std::vector<LoadedFile>& files_;
};

}  // namespace

SessionOutcome runAnalysisSession(Session& s, Domain domain, DriverUi& ui, const FigureSinks& sinks,
                                  AnalysisResult* result, AnalysisSettings* settingsUsed)
{
    s.setAnalysisDefaults();
    s.D = static_cast<int>(domain);

    if (domain == Domain::Frequency) {
        s.analysisFolderName = "Frequency Domain Analysis";
        const int t = ui.menu("              Analysis           ", {"Magnitude", "Phase"});
        if (t == 1) {
            s.T = 1;
        } else if (t == 2) {
            s.T = 2;
        } else {
            if (ui.question({"Selection Error!", kQuitTitle, {"OK", "Help"}, "OK"}) == "Help")
                ui.warning("Sorry, no help available", kWarningTitle);
            return SessionOutcome::Stopped;
        }
    } else {
        s.analysisFolderName = "Time Domain Analysis";
        s.T = 1;
    }

    ui.loadData(s);
    SetList Md, Mf;
    std::vector<LoadedFile> files;
    std::size_t reference = 0;  // the reference's place among the loaded sets
    if (s.reference > s.dataset.size() || (s.reference > 0 && s.dataset[s.reference - 1].empty())) {
        quitQuestion(ui, "Error Data Input: the reference must be a loaded data set",
                     "Dataset " + std::to_string(s.reference) + " was chosen as the reference, but it has no file.");
        s.T = 0;
        return SessionOutcome::Stopped;
    }
    for (std::size_t slot = 0; slot < s.dataset.size(); ++slot) {
        const std::string& path = s.dataset[slot];
        if (path.empty()) continue;
        ++s.N_DATA;
        if (slot + 1 == s.reference) reference = s.N_DATA;
        DataSet set;
        try {
            set = readDataSet(path, s.readOptions[slot]);
            s.readSummaries[slot] = set.report.summary();
        } catch (const ColumnCountError& e) {
            quitQuestion(ui, "Error Data Input: format wrong", e.what());
            s.T = 0;
            return SessionOutcome::Stopped;
        }
        files.push_back({standardInputName(path), std::move(set.lines), set.report});
        Mf.push_back(std::move(set.abscissa));
        Md.push_back(std::move(set.ordinate));
    }
    if (s.N_DATA < 2) {
        quitQuestion(ui, "Error Data Input: must be > #2");
        s.T = 0;
        return SessionOutcome::Stopped;
    }

    if (std::all_of(Mf.begin(), Mf.end(), [](const Vec& x) { return x.size() < 3; })) {
        std::string counts;
        for (const LoadedFile& f : files)
            counts += (counts.empty() ? "" : ", ") + f.path + " (" + std::to_string(f.lines.size()) +
                      (f.lines.size() == 1 ? " sample)" : " samples)");
        throw Error("No data set has three or more samples, so the grid step cannot be measured: " + counts + ".");
    }

    AnalysisSettings settings;
    settings.D = s.D;
    settings.T = s.T;
    settings.thrs = s.thrs;
    settings.S_MARKER = s.S_MARKER;
    settings.maxGridPoints = s.maxGridPoints;
    settings.writeReport = s.writeReport;
    for (const LoadedFile& f : files) {
        settings.sourceNames.push_back(f.path);
        settings.readReports.push_back(f.read);
    }
    settings.reference = reference;
    settings.grid = s.grid.kind;
    settings.gridPoints = s.grid.points;
    settings.compression = s.matCompression;
    SessionHost host(s, ui, sinks, files);
    std::optional<AnalysisResult> r;
    try {
        r = runAnalysis(settings, Md, Mf, host);
    } catch (const NoCommonRangeError&) {
        return SessionOutcome::NoCommonRange;
    }
    if (!r) return SessionOutcome::Stopped;
    if (result) *result = std::move(*r);
    if (settingsUsed) *settingsUsed = std::move(settings);
    return SessionOutcome::Finished;
}

}  // namespace orvane

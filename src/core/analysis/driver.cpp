#include "analysis/driver.h"

#include "analysis/analysis.h"
#include "base/error.h"
#include "formats/data_set.h"

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
class SessionHost : public AnalysisHost {
public:
    SessionHost(Session& s, DriverUi& ui, const FigureSinks& sinks) : s_(s), ui_(ui), sinks_(sinks) {}

    bool weightGdm() override { return ui_.weightGdm(); }
    std::optional<fs::path> outputFolder() override
    {
        s_.outputFolder = ui_.chooseFolder("Select Folder for OUTPUT Data", s_.startFolder);
        if (s_.outputFolder.empty()) return std::nullopt;
        return fs::path(s_.outputFolder);
    }
    void noCommonRange(const std::string& message) override { quitQuestion(ui_, message); }
    void analysisFolderMade(const fs::path& folder) override { s_.analysisFolderName = folder.filename().string(); }
    std::unique_ptr<Progress> openProgress() override { return ui_.openProgress(kProgressStages, kProgressTitle); }
    GraphicSink* graphics() override { return sinks_.graphics; }
    ChartSink* charts() override { return sinks_.charts; }

private:
    Session& s_;
    DriverUi& ui_;
    FigureSinks sinks_;
};

}  // namespace

SessionOutcome runAnalysisSession(Session& s, Domain domain, DriverUi& ui, const FigureSinks& sinks,
                                  AnalysisResult* result)
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
    for (const std::string& path : s.dataset) {
        if (path.empty()) continue;
        ++s.N_DATA;
        std::optional<DataSet> set = readDataSet(path);
        if (!set) {
            quitQuestion(ui, "Error Data Input: format wrong", path);
            s.T = 0;
            return SessionOutcome::Stopped;
        }
        Mf.push_back(std::move(set->abscissa));
        Md.push_back(std::move(set->ordinate));
    }
    if (s.N_DATA < 2) {
        quitQuestion(ui, "Error Data Input: must be > #2");
        s.T = 0;
        return SessionOutcome::Stopped;
    }

    AnalysisSettings settings;
    settings.D = s.D;
    settings.T = s.T;
    settings.thrs = s.thrs;
    settings.S_MARKER = s.S_MARKER;
    settings.maxGridPoints = s.maxGridPoints;
    SessionHost host(s, ui, sinks);
    std::optional<AnalysisResult> r;
    try {
        r = runAnalysis(settings, Md, Mf, host);
    } catch (const NoCommonRangeError&) {
        return SessionOutcome::NoCommonRange;
    }
    if (!r) return SessionOutcome::Stopped;
    if (result) *result = std::move(*r);
    return SessionOutcome::Finished;
}

}  // namespace orvane

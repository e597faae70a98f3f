// Writes a complete analysis folder, as the program does, for the tests of the windows that
// read saved results.
#pragma once

#include "analysis/driver.h"
#include "analysis/figure_files.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orvane::test {

// n data sets on [0, 200] in `folder`; each its own wiggle and length.
inline std::vector<std::string> writeDataSets(const std::filesystem::path& folder, int n)
{
    std::vector<std::string> files;
    for (int s = 0; s < n; ++s) {
        const std::filesystem::path path = folder / ("set" + std::to_string(s + 1) + ".txt");
        std::ofstream out(path);
        const int points = 180 + 7 * s;
        for (int j = 0; j < points; ++j) {
            const double x = 200.0 * j / (points - 1);
            out << x << ' ' << 20 + 5 * std::sin(x / 30 + 0.2 * s) + 0.3 * (s + 1) * std::sin(x * 0.7) << '\n';
        }
        files.push_back(path.string());
    }
    return files;
}

// The user's part of one run: the chosen files, the output folder, "Phase" or "Magnitude".
class FixtureUi : public DriverUi {
public:
    std::vector<std::string> files;
    std::string folder;
    int menuAnswer = 1;
    std::string question(const Question& q) override { return q.defaultButton; }
    void warning(const std::string&, const std::string&) override {}
    void error(const std::string&, const std::string&) override {}
    int menu(const std::string&, const std::vector<std::string>&) override { return menuAnswer; }
    void loadData(Session& s) override
    {
        for (std::size_t k = 0; k < files.size() && k < kDataSlots; ++k) s.dataset[k] = files[k];
    }
    std::string chooseFolder(const std::string&, const std::string&) override { return folder; }
    struct Silent : Progress {
        void update(int, double) override {}
    };
    std::unique_ptr<Progress> openProgress(const std::vector<std::string>&, const std::string&) override
    {
        return std::make_unique<Silent>();
    }
};

// Runs a whole analysis of n sets into `out` and gives the analysis folder. a1 = 1 time
// domain; a1 = 0 frequency domain with menu answer 1 (magnitude) or 2 (phase). Figures and
// charts are written as figure files when `figures` is set. `session` keeps the globals.
inline std::filesystem::path runAnalysis(Session& session, const std::filesystem::path& out, int n, int a1 = 1,
                                         int menuAnswer = 1, bool figures = false)
{
    std::filesystem::create_directories(out / "data");
    FixtureUi ui;
    ui.files = writeDataSets(out / "data", n);
    ui.folder = out.string();
    ui.menuAnswer = menuAnswer;
    if (session.startFolder.empty()) session.startFolder = out.string();
    FigureFiles files(session, ui);
    FigureSinks sinks;
    if (figures) sinks = {&files, &files};
    runAnalysisSession(session, a1 == 1 ? Domain::Time : Domain::Frequency, ui, sinks);
    return std::filesystem::path(session.outputFolder) / session.analysisFolderName;
}

}  // namespace orvane::test

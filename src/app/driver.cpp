#include "app/driver.h"

#include "app/analysis.h"
#include "app/result_files.h"
#include "input/data_set.h"
#include "results/reports.h"
#include "runtime/error.h"
#include "runtime/text.h"

#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace orvane {

std::string freeSubfolderName(const std::string& folder, const std::string& base)
{
    // Anything of that name counts as taken, a file as much as a folder.
    std::string name = base;
    std::error_code ec;
    for (int i = 1; fs::exists(fs::path(folder) / name, ec) || ec; ++i) {
        if (ec) throw Error("Cannot look into the output folder " + folder + ": " + ec.message());
        name = base + "_" + std::to_string(i);
    }
    return name;
}

namespace {

void createFolder(const fs::path& path)
{
    std::error_code ec;
    if (!fs::create_directory(path, ec) && !fs::is_directory(path))
        throw Error("Cannot create the folder " + path.string() + (ec ? ": " + ec.message() : ""));
}

// A "Quit Program" question with one "OK" button.
void quitQuestion(Dialogs& ui, const std::string& message, const std::string& detail = {})
{
    ui.question({message, kQuitTitle, {"OK"}, "OK", detail});
}

// Output folder, sub-folder name and its creation (the user may cancel the choice).
bool chooseOutputFolder(Session& s, DriverUi& ui)
{
    s.dirpath = ui.chooseFolder("Select Folder for OUTPUT Data", s.origdir);
    if (s.dirpath.empty()) return false;
    const std::string base = s.T == 2 || s.D == 0 ? "Frequency Domain Analysis" : "Time Domain Analysis";
    s.nmdr = freeSubfolderName(s.dirpath, base);
    createFolder(fs::path(s.dirpath) / s.nmdr);
    return true;
}

std::string numbered(const char* name, std::size_t k) { return name + std::to_string(k); }

// The computation and result sequence, from the resampled sets to the last file.
void resultSequence(Session& s, DriverUi& ui, const FigureSinks& sinks, std::unique_ptr<Progress> HTB,
                    Interpolated grid, AnalysisResult* result)
{
    const fs::path folder = fs::path(s.dirpath) / s.nmdr;
    const double thr = thresholdFraction(s.thrs);
    PlotContext plots;
    plots.T = s.T;
    plots.S_MARKER = s.S_MARKER;
    plots.sink = sinks.graphics;
    auto chart = [&](ChartRequest request) {
        s.thrs = request.thrs;
        if (sinks.charts) sinks.charts->chart(request);
    };

    const std::size_t N = grid.Mdata.size();
    const ProgressNote note = [&](int bar, double v) { HTB->update(bar, v); };
    AnalysisResult r;

    // Signal preparation.
    prepareSignals(r, std::move(grid), plots, note);
    HTB->update(1, 1);
    HTB->update(2, 0.1);
    summary(folder, r.LowData[N], "LowData_av");
    for (std::size_t k = 1; k <= N; ++k) {
        summary(folder, r.LowData[k - 1], numbered("LowData_", k));
        HTB->update(2, 0.1 + static_cast<double>(k) / static_cast<double>(N + 1));
        summary(folder, r.HighData[k - 1], numbered("HighData_", k));
    }
    HTB->update(2, 1);
    HTB->update(3, 0.1);

    // ADM and FDM.
    measureAdmFdm(r, thr, plots, note);
    HTB->update(3, 1);
    HTB.reset();

    // GDM weights.
    gdmWeights(r.ADM.Spread, r.FDM.Spread, askGdmWeighting(ui), r.Kadm, r.Kfdm);

    // Reports of ADM and FDM.
    HTB = ui.openProgress(kProgressStages, kProgressTitle);
    HTB->update(2, 0.1);
    const std::size_t sets = N + 1;
    auto parameters = [](double total, const Histogram& h) { return Triple{total, AverageConf(h), Conversion(total)}; };
    r.ParametersA.resize(sets);
    r.ParametersF.resize(sets);
    r.ParametersG.resize(sets);
    for (std::size_t k = 1; k <= sets; ++k) {
        const std::size_t i = k - 1;
        chart({s.thrs, {{r.ADM.Spread[i].value, r.ADM.Grade[i].value, numbered("ADM_", k)}}, {r.Kadm[i]}});
        r.ParametersA[i] = parameters(r.adm.ADMtot[i], r.adm.ADMc[i]);
        AsciiFile(folder, r.ParametersA[i], numbered("ADM_", k), r.Kadm[i], -1);
        summary(folder, r.adm.ADMi[i], numbered("ADMi_", k));
        summary(folder, r.adm.ADMc[i], numbered("ADMc_", k));
        HTB->update(2, 0.1 + static_cast<double>(k) / static_cast<double>(N + 2));
        chart({s.thrs, {{r.FDM.Spread[i].value, r.FDM.Grade[i].value, numbered("FDM_", k)}}, {r.Kfdm[i]}});
        r.ParametersF[i] = parameters(r.fdm.FDMtot[i], r.fdm.FDMc[i]);
        AsciiFile(folder, r.ParametersF[i], numbered("FDM_", k), -1, r.Kfdm[i]);
        summary(folder, r.fdm.FDMi[i], numbered("FDMi_", k));
        summary(folder, r.fdm.FDMc[i], numbered("FDMc_", k));
        summary(folder, r.HighData[i], numbered("HighData_", k));
    }
    HTB->update(2, 1);
    HTB->update(3, 0.1);

    // GDM.
    const std::size_t LD_av = r.LowData[N].size();
    HTB->update(3, 0.3);
    r.gdm = GDM(r.fdm.FDMi, r.adm.ADMi, LD_av, r.Mfreq, r.Kadm, r.Kfdm, plots);
    HTB->update(3, 0.6);
    r.GDM = FSV_CC(thr, r.gdm.GDMc);
    HTB->update(3, 1);
    HTB->update(2, 0.1);
    double prgrs = 0.1;
    for (std::size_t k = 1; k <= sets; ++k) {
        const std::size_t i = k - 1;
        chart({s.thrs, {{r.GDM.Spread[i].value, r.GDM.Grade[i].value, numbered("GDM_", k)}}, {r.Kadm[i], r.Kfdm[i]}});
        r.ParametersG[i] = parameters(r.gdm.GDMtot[i], r.gdm.GDMc[i]);
        prgrs = 0.1 + (static_cast<double>(k) / static_cast<double>(N + 2)) / 2;
        HTB->update(2, prgrs);
        AsciiFile(folder, r.ParametersG[i], numbered("GDM_", k), r.Kadm[i], r.Kfdm[i]);
        summary(folder, r.gdm.GDMi[i], numbered("GDMi_", k));
        summary(folder, r.gdm.GDMc[i], numbered("GDMc_", k));
    }

    // Combined charts, grade-and-spread report and statistics.
    summarise(r);  // means and medians of every set at once
    for (std::size_t k = 1; k <= sets; ++k) {
        const std::size_t i = k - 1;
        const ChartSeries a{r.ADM.Spread[i].value, r.ADM.Grade[i].value, numbered("ADM_", k)};
        const ChartSeries f{r.FDM.Spread[i].value, r.FDM.Grade[i].value, numbered("FDM_", k)};
        const ChartSeries g{r.GDM.Spread[i].value, r.GDM.Grade[i].value, numbered("GDM_", k)};
        const std::vector<double> weights{r.Kadm[i], r.Kfdm[i]};
        chart({s.thrs, {a, f, g}, weights});
        chart({s.thrs, {a, f}, weights});
        chart({s.thrs, {a, g}, weights});
        HTB->update(2, prgrs + (static_cast<double>(k) / static_cast<double>(N + 2)) / 2);
        chart({s.thrs, {f, g}, weights});
        WriteAscii(folder, r.ADM.Grade[i], r.ADM.Spread[i], a.name, r.FDM.Grade[i], r.FDM.Spread[i], f.name,
                   r.GDM.Grade[i], r.GDM.Spread[i], g.name, "GreadSpread", s.thrs);
    }
    HTB->update(2, 0.98);

    // Saving.
    writeAnalysisFile(folder, s.T == 2 ? "PhaseAnalysis.mat" : "MagnitudeAnalysis.mat", r, s.D, s.S_MARKER);
    const fs::path thresholdFolder = folder / s.thrs;
    createFolder(thresholdFolder);
    writeGradeSpreadFile(thresholdFolder, s.D, r.N_DATA, s.S_MARKER, r.ADM, r.FDM, r.GDM, &r.Kadm, &r.Kfdm);
    HTB->update(2, 1);
    if (result) *result = std::move(r);
}

}  // namespace

int fsvMain(Session& s, int a1, DriverUi& ui, const FigureSinks& sinks, AnalysisResult* result)
{
    s.setAnalysisDefaults();
    s.D = a1;

    if (a1 == 0) {
        s.nmdr = "Frequency Domain Analysis";
        const int t = ui.menu("              Analysis           ", {"Magnitude", "Phase"});
        if (t == 1) {
            s.T = 1;
        } else if (t == 2) {
            s.T = 2;
        } else {
            if (ui.question({"Selection Error!", kQuitTitle, {"OK", "Help"}, "OK"}) == "Help")
                ui.warning("Sorry, no help available", kWarningTitle);
            return 1;
        }
    } else if (a1 == 1) {
        s.nmdr = "Time Domain Analysis";
        s.T = 1;
    } else {
        return 1;
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
            return 1;
        }
        Mf.push_back(std::move(set->abscissa));
        Md.push_back(std::move(set->ordinate));
    }
    if (s.N_DATA < 2) {
        quitQuestion(ui, "Error Data Input: must be > #2");
        s.T = 0;
        return 1;
    }

    auto resample = [&](Progress& HTB) {
        HTB.update(1, 0.1);
        return Interpolation(Md, Mf, s.N_DATA, ui, s.maxGridPoints);
    };

    if (s.T == 1) {
        if (!chooseOutputFolder(s, ui)) return 1;
        std::unique_ptr<Progress> HTB = ui.openProgress(kProgressStages, kProgressTitle);
        Interpolated grid = resample(*HTB);
        if (grid.empty()) return 0;
        Md.clear();
        Mf.clear();
        resultSequence(s, ui, sinks, std::move(HTB), std::move(grid), result);
        return 1;
    }

    // Phase analysis: the grid first, then the output folder.
    std::unique_ptr<Progress> HTB = ui.openProgress(kProgressStages, kProgressTitle);
    Interpolated grid = resample(*HTB);
    if (grid.empty()) return 0;
    Md.clear();
    Mf.clear();
    if (!chooseOutputFolder(s, ui)) return 1;
    resultSequence(s, ui, sinks, std::move(HTB), std::move(grid), result);
    return 1;
}

}  // namespace orvane

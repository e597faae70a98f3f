#include "analysis/report.h"

#include "analysis/result_files.h"

namespace orvane {

std::filesystem::path rewriteReport(const std::filesystem::path& analysisFile, int T, const std::string& thrs,
                                    const GradeSpread& ADM, const GradeSpread& FDM, const GradeSpread& GDM,
                                    const std::vector<std::string>& files, const std::vector<ReadOptions>& reads,
                                    std::optional<bool> weighting)
{
    LoadedAnalysis loaded = loadAnalysisFile(analysisFile);
    AnalysisResult& r = loaded.result;
    r.ADM = ADM, r.FDM = FDM, r.GDM = GDM;
    r.folder = analysisFile.parent_path();
    AnalysisSettings settings;
    settings.D = loaded.D;
    settings.T = T;
    settings.thrs = thrs;
    settings.S_MARKER = loaded.S_MARKER;

    SetList Mf, Md;
    std::vector<ReadReport> readReports;
    for (std::size_t k = 0; k < r.N_DATA; ++k) {
        DataSet set;
        bool readable = k < files.size();
        if (readable) try {
                set = readDataSet(files[k], k < reads.size() ? reads[k] : ReadOptions());
            } catch (const Error&) {
                readable = false;  // moved or changed since the analysis: the grid's copy stands in
            }
        if (!readable) {
            set.abscissa = r.abscissa;
            set.ordinate = k < r.resampled.size() ? r.resampled[k] : Vec();
        }
        Mf.push_back(std::move(set.abscissa));
        Md.push_back(std::move(set.ordinate));
        readReports.push_back(set.report);
    }
    ReportFacts facts;
    facts.inputs = describeInputs(files, Mf, Md, readReports);
    facts.weighting = weighting;
    return writeReport(r.folder, settings, r, facts);
}

}  // namespace orvane

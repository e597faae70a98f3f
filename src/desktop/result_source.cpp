#include "desktop/result_source.h"

#include "analysis/result_files.h"

namespace orvane {

namespace fs = std::filesystem;

fs::path resultFolder(const Session& s)
{
    if (s.T == 1 || s.T == 2) return fs::path(s.outputFolder) / s.analysisFolderName;
    return fs::path(s.folder1);
}

fs::path firstResultFile(const fs::path& folder)
{
    if (folder.empty()) return {};
    for (const char* name : {kMagnitudeAnalysisFile, kPhaseAnalysisFile, kCombinedAnalysisFile}) {
        std::error_code ec;
        if (fs::is_regular_file(folder / name, ec)) return folder / name;
    }
    return {};
}

fs::path currentResultFile(const Session& s)
{
    if (s.T == 1 || s.T == 2) return resultFolder(s) / analysisFileName(s.T);
    fs::path file = firstResultFile(s.folder1);
    if (file.empty())
        throw Error("The folder \"" + s.folder1 + "\" holds none of the result files " + kMagnitudeAnalysisFile + ", " +
                    kPhaseAnalysisFile + " and " + kCombinedAnalysisFile + ".");
    return file;
}

ResultHeader readDomainAndSets(const fs::path& file)
{
    const ResultFile f(file);
    ResultHeader h;
    h.D = f.domain();
    h.N_DATA = f.dataSets();
    return h;
}

CurveResults readCurves(const fs::path& file, const std::string& variable)
{
    const ResultFile f(file);
    CurveResults r;
    r.header.D = f.domain();
    r.header.S_MARKER = f.text("S_MARKER");
    r.header.N_DATA = f.dataSets();
    r.header.reference = f.referenceSet(r.header.N_DATA);
    r.abscissa = f.column("Mfreq");
    r.curves = f.columns(variable, r.header.N_DATA + 1, r.abscissa.size());
    return r;
}

HistogramResults readHistograms(const fs::path& file, const std::string& variable)
{
    const ResultFile f(file);
    HistogramResults r;
    r.header.S_MARKER = f.text("S_MARKER");
    r.header.N_DATA = f.dataSets();
    r.histograms = f.histograms(variable, r.header.N_DATA + 1);
    return r;
}

void storeGlobals(Session& s, const ResultHeader& h, bool withDomain)
{
    if (withDomain) s.D = h.D;
    s.N_DATA = h.N_DATA;
    if (!h.S_MARKER.empty()) s.S_MARKER = h.S_MARKER;
}

}  // namespace orvane

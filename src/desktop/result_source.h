// Where the results window finds its results, and what each of its plots reads from them.
#pragma once

#include "analysis/session.h"
#include "method/classes.h"
#include "base/types.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace orvane {

// The folder of the results shown: analysisFolderName inside outputFolder after an analysis (T = 1 or 2),
// folder1 while browsing (T = 0).
std::filesystem::path resultFolder(const Session& s);

// The first of "MagnitudeAnalysis.mat", "PhaseAnalysis.mat" and "CombinedAnalysis.mat"
// that exists in `folder`; empty when there is none.
std::filesystem::path firstResultFile(const std::filesystem::path& folder);

// The result file of the plots: the analysis file of T = 1 or 2, the first existing result
// file of folder1 for T = 0. Throws orvane::Error when browsing a folder without one.
std::filesystem::path currentResultFile(const Session& s);

// The globals every reader refreshes. S_MARKER is empty when the reader does not ask for it.
struct ResultHeader {
    int D = 0;
    std::size_t N_DATA = 0;
    std::string S_MARKER;
    std::size_t reference = 0;  // set N_DATA+1 is the average (0) or a copy of this set
};

struct CurveResults {
    ResultHeader header;
    Vec abscissa;
    SetList curves;  // N_DATA+1 columns of abscissa's length
};

struct HistogramResults {
    ResultHeader header;
    HistogramList histograms;  // N_DATA+1
};

// Each reader checks class and shape of what it reads against N_DATA and abscissa, and throws
// ResultFileError naming the file and the variable.

// D and N_DATA.
ResultHeader readDomainAndSets(const std::filesystem::path& file);
// D, S_MARKER, N_DATA, the reference, abscissa and one list of columns (resampled, ADMi,
// FDMi or GDMi).
CurveResults readCurves(const std::filesystem::path& file, const std::string& variable);
// S_MARKER, N_DATA and one list of histograms (ADMc, FDMc or GDMc); D is kept as it is.
HistogramResults readHistograms(const std::filesystem::path& file, const std::string& variable);

// Copies what a reader loaded into the session globals of the same names.
void storeGlobals(Session& s, const ResultHeader& h, bool withDomain = true);

}  // namespace orvane

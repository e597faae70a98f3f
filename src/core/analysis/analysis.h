// The one analysis pipeline: from the loaded data sets to every result the files and windows
// need. The desktop program, the batch command, the benchmarks and the tests all run it.
//
// Every per-set list holds N_DATA+1 entries; the last belongs to the average set, or to a
// copy of the chosen reference set when one is chosen.
#pragma once

#include "analysis/dialogs.h"
#include "analysis/figure_sinks.h"
#include "analysis/progress.h"
#include "formats/data_set.h"
#include "formats/mat_compression.h"
#include "method/adm.h"
#include "method/common_grid.h"
#include "method/fdm.h"
#include "method/gdm.h"
#include "method/grade_spread.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

namespace orvane {

// Total, mean class and class-scale total of one measure of one set.
using Triple = std::array<double, 3>;
Triple measureSummary(double total, const Histogram& histogram);

struct AnalysisResult {
    std::size_t N_DATA = 0;
    Vec abscissa;                 // common abscissa
    SetList resampled;             // resampled sets and their average
    SpectrumList spectra;   // normalised spectra
    Vec spectrumTotals, breakpoint;  // spectrum totals and breakpoint bins
    SetList LowData, HighData, DC_data;
    AdmResult adm;             // Alpha_ADM, ADMi, ADMc, ADMtot, ADM_oldi
    FdmResult fdm;             // FDMi, FDMc, FDMtot
    GdmResult gdm;             // GDMi, GDMc, GDMtot
    GradeSpread ADM, FDM, GDM; // grade and spread records per measure
    Vec Kadm, Kfdm;            // GDM weights
    std::vector<Triple> ParametersA, ParametersF, ParametersG;  // measureSummary() per set
    std::vector<Triple> parameters_means, parameters_median;    // over the points of [ADM; FDM; GDM]
    std::filesystem::path folder;  // the analysis sub-folder written; empty when none was
    std::size_t reference = 0;     // what set N_DATA+1 is: 0 the average, k a copy of set k
    bool weighted = true;          // the weighting answer the GDM weights came from
    // "uniform" or "logarithmic" when the grid was chosen so; empty for the finest-spacing grid
    // (the default, and every file written before the choice existed).
    std::string gridKind;
};

// The default grid draws a warning above this many times the largest set's samples.
inline constexpr std::size_t kDenseGridFactor = 20;

// A default grid far denser than the data: the facts, and a message saying them (without
// the front end's way of choosing another grid, which the front end adds).
struct DenseGrid {
    std::size_t gridPoints = 0;
    std::size_t largestSet = 0;  // samples of the largest data set
    std::string message;
};

struct AnalysisSettings {
    int D = 1;                      // 1 time domain, 0 frequency domain
    int T = 1;                      // 1 time or magnitude analysis, 2 phase analysis
    std::string thrs = "85";        // threshold in percent, also the chart folder's name
    std::string S_MARKER = "rbgycmbkk";  // colour letter per data set
    std::size_t maxGridPoints = kDefaultMaxGridPoints;
    std::vector<std::string> sourceNames{};  // per set, the file it came from, for messages; may be empty
    // Per set, how its file was read (format, columns, unit, conversions), for the report and
    // the summaries; may be empty (sets given as numbers).
    std::vector<ReadReport> readReports{};

    // What every set is compared with: 0 the average of the sets; k (1-based) the k-th set,
    // which then takes the average's place as the last set everywhere.
    std::size_t reference = 0;

    // The common grid: the finest spacing of the inputs, or gridPoints points spaced evenly
    // or logarithmically over the common range.
    using Grid = GridKind;
    Grid grid = Grid::Finest;
    std::size_t gridPoints = 0;

    bool writeReport = true;  // report.html in the analysis folder, when files are written
    // The result MAT-files deflated with zlib (orvane-batch --compress); uncompressed by default.
    matfile::Compression compression = matfile::Compression::None;
};

// Whoever runs an analysis: answers its question, tells where its files go, shows its
// progress and takes its figures. Only the weighting question must be answered; by default
// nothing is written, shown or drawn.
class AnalysisHost {
public:
    virtual ~AnalysisHost() = default;
    // "Do you want GDM weighting?": true for weighting.
    virtual bool weightGdm() = 0;
    // The folder in which the analysis makes its sub-folder; an empty path writes no files;
    // nothing stops the analysis (the user cancelled). Asked before the grid is made in a
    // time or magnitude analysis, after it in a phase analysis.
    virtual std::optional<std::filesystem::path> outputFolder() { return std::filesystem::path(); }
    // Told when the sets share no usable range, while the progress display is still open;
    // the analysis then throws NoCommonRangeError.
    virtual void noCommonRange(const NoCommonRangeError& error) { (void)error; }
    // Told when the finest-spacing grid has more than kDenseGridFactor times the samples of the
    // largest data set, before the analysis runs on it.
    virtual void denseGrid(const DenseGrid& grid) { (void)grid; }
    // Told the sub-folder once it exists, before anything is written into it.
    virtual void analysisFolderMade(const std::filesystem::path& folder) { (void)folder; }
    // A new progress display of the three stages; null for none.
    virtual std::unique_ptr<Progress> openProgress() { return nullptr; }
    virtual GraphicSink* graphics() { return nullptr; }
    virtual ChartSink* charts() { return nullptr; }
};

// Runs one analysis of the sets (ordinates Md, abscissae Mf, one pair per set). Gives the
// result, or nothing when the host cancelled the choice of the output folder. Throws
// NoCommonRangeError when the sets share no usable range, other Errors for unusable data
// and failed writes; a sub-folder made for a run that fails before writing is removed.
std::optional<AnalysisResult> runAnalysis(const AnalysisSettings& settings, const SetList& Md, const SetList& Mf,
                                          AnalysisHost& host);

// The threshold fraction of a threshold text: "85" → 0.85.
double thresholdFraction(const std::string& thrs);

// GDM weights from the spreads: the weight named after the measure with the larger spread
// becomes smaller spread / larger spread; both are 1 without weighting or for equal spreads.
void gdmWeights(const GradeList& Spread_ADM, const GradeList& Spread_FDM, bool weighting, Vec& Kadm, Vec& Kfdm);

// Asks "Do you want GDM weighting?"; true for "YES".
bool askGdmWeighting(Dialogs& dialogs);

// A host that asks its question through dialogs and hands figures to the plot context's
// sink; it writes no files.
class DialogsHost : public AnalysisHost {
public:
    DialogsHost(Dialogs& dialogs, GraphicSink* graphics = nullptr, ChartSink* charts = nullptr)
        : dialogs_(dialogs), graphics_(graphics), charts_(charts)
    {
    }
    bool weightGdm() override { return askGdmWeighting(dialogs_); }
    GraphicSink* graphics() override { return graphics_; }
    ChartSink* charts() override { return charts_; }

private:
    Dialogs& dialogs_;
    GraphicSink* graphics_;
    ChartSink* charts_;
};

}  // namespace orvane

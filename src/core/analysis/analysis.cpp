#include "analysis/analysis.h"

#include "analysis/measure_figures.h"
#include "analysis/output_folder.h"
#include "analysis/report.h"
#include "analysis/reports.h"
#include "analysis/result_files.h"
#include "analysis/summaries.h"
#include "analysis/threshold_charts.h"
#include "base/memory.h"
#include "base/parallel.h"
#include "base/stats.h"
#include "base/text.h"
#include "method/decomposition.h"
#include "method/fourier.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace fs = std::filesystem;

namespace orvane {

Triple measureSummary(double total, const Histogram& histogram)
{
    return {total, meanClass(histogram), classScaleTotal(total)};
}

double thresholdFraction(const std::string& thrs)
{
    return str2double(thrs) / 100;
}

void gdmWeights(const GradeList& Spread_ADM, const GradeList& Spread_FDM, bool weighting, Vec& Kadm, Vec& Kfdm)
{
    const std::size_t sets = Spread_ADM.size();
    Kadm.assign(sets, 1.0);
    Kfdm.assign(sets, 1.0);
    if (!weighting) return;
    for (std::size_t k = 0; k < sets; ++k) {
        const double sA = Spread_ADM[k].value, sF = Spread_FDM.at(k).value;
        if (sA < sF)
            Kfdm[k] = sA / sF;
        else if (sA > sF)
            Kadm[k] = sF / sA;
    }
}

bool askGdmWeighting(Dialogs& dialogs)
{
    return dialogs.question({"Do you want GDM weighting?", "Compute k_ADM & k_FDM", {"YES", "NO"}, "YES"}) == "YES";
}

namespace {

std::string numbered(const char* name, std::size_t k) { return name + std::to_string(k); }

std::string magnitude(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", v);
    return text;
}

// The spectra sum up to L values of up to L times the data's size each, and the measures
// divide such sums: beyond this bound they overflow and every measure turns NaN.
// "The data of meas.txt" when the set has a name, else "The data of set 2".
std::string dataOf(const std::vector<std::string>& names, std::size_t set)
{
    return "The data of " + (set < names.size() && !names[set].empty() ? names[set] : "set " + std::to_string(set + 1));
}

void requireAnalysableSize(const SetList& sets, std::size_t L, const std::vector<std::string>& names)
{
    const double n = static_cast<double>(std::max<std::size_t>(L, 1));
    const double bound = std::numeric_limits<double>::max() / (16 * n * n);
    // Each set's largest magnitude and whether all its values are finite, without a branch
    // per value; the sets are then taken in order, so the message names the first set at fault
    // and the first that holds the largest value, as one pass through all of them would.
    struct Scan {
        double largest = 0;
        bool finite = true;
    };
    std::vector<Scan> scans(sets.size());
    parallelFor(sets.size(), L, [&](std::size_t i) {
        double largest = 0;
        bool finite = true;
        for (const double v : sets[i]) {
            const double a = std::fabs(v);
            finite &= a <= std::numeric_limits<double>::max();
            largest = a > largest ? a : largest;
        }
        scans[i] = {largest, finite};
    });
    double largest = 0;
    std::size_t largestSet = 0;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (!scans[i].finite)
            throw Error(dataOf(names, i) + " hold a value that is not a finite number; it cannot be analysed.");
        if (scans[i].largest > largest) largest = scans[i].largest, largestSet = i;
    }
    if (largest > bound)
        throw Error(dataOf(names, largestSet) + " reach " + magnitude(largest) + "; values above " + magnitude(bound) +
                    " cannot be analysed on a grid of " + std::to_string(L) + " points (the measures would overflow).");
}

// Bytes an analysis of `sets` data sets (the average included) on an L-point grid holds at
// its peak: per set and point the resampled value, the complex spectrum, the low, high and
// DC parts and four point-by-point measures, with a little room for the transforms' buffers
// (the benchmark measures a peak 2 % above what is kept).
std::uint64_t peakBytes(std::size_t sets, std::size_t L)
{
    return static_cast<std::uint64_t>(sets) * L * 88 + static_cast<std::uint64_t>(L) * 8;
}

// A grade from NaN or infinite measures would look like a verdict on the data.
void requireFiniteMeasures(const SetList& measures, const char* name)
{
    for (const Vec& set : measures)
        for (const double v : set)
            if (!std::isfinite(v))
                throw Error(std::string("The ") + name + " measure is not a finite number for these data; "
                            "they cannot be graded.");
}

// One run: the stages in the method's order, with its progress values, figures, charts and
// files between them. Files are written only when `folder` is set.
class Run {
public:
    Run(const AnalysisSettings& settings, AnalysisHost& host) : s_(settings), host_(host)
    {
        plots_.T = s_.T;
        plots_.S_MARKER = s_.S_MARKER;
        plots_.sink = host_.graphics();
        thr_ = thresholdFraction(s_.thrs);
    }

    std::optional<AnalysisResult> run(const SetList& Md, const SetList& Mf)
    {
        const std::size_t n = Md.size();
        if (s_.reference > n)
            throw Error("The reference set " + std::to_string(s_.reference) + " is not one of the " + std::to_string(n) +
                        " data sets.");
        inputsMd_ = &Md, inputsMf_ = &Mf;
        std::optional<fs::path> parent;
        if (s_.T != 2) {
            parent = host_.outputFolder();
            if (!parent) return std::nullopt;
            progress_ = host_.openProgress();
            makeGrid(Md, Mf, n);
        } else {
            // A phase analysis makes its grid before the output folder is chosen.
            progress_ = host_.openProgress();
            makeGrid(Md, Mf, n);
            parent = host_.outputFolder();
            if (!parent) return std::nullopt;
        }
        requireAnalysableSize(grid_.resampled, grid_.abscissa.size(), s_.sourceNames);
        if (!parent->empty()) {
            const char* base = s_.T == 2 || s_.D == 0 ? "Frequency Domain Analysis" : "Time Domain Analysis";
            folder_.emplace(*parent, base);
            r_.folder = folder_->path();
            host_.analysisFolderMade(r_.folder);
        }
        try {
            stages();
        } catch (...) {
            if (folder_) folder_->abandon();
            throw;
        }
        if (folder_) folder_->complete();
        return std::move(r_);
    }

private:
    void makeGrid(const SetList& Md, const SetList& Mf, std::size_t n)
    {
        note(1, 0.1);
        try {
            grid_ = resampleOntoCommonGrid(Md, Mf, n, s_.maxGridPoints, [n](std::size_t L) {
                // Refuse before taking the memory rather than end in the kernel's out-of-memory kill.
                const std::uint64_t need = peakBytes(n + 1, L);
                const MemoryRoom room = memoryRoom();
                if (const auto usable = room.usable(); usable && need > *usable)
                    throw Error("The analysis of " + std::to_string(n) + " data sets on a grid of " +
                                std::to_string(L) + " points would need about " + byteCount(need) +
                                " of memory, more than this machine can give it (" + room.describe() + ").");
            }, {s_.grid, s_.gridPoints});
        } catch (const NoCommonRangeError& e) {
            host_.noCommonRange(e);
            throw;
        }
        if (s_.grid != GridKind::Finest) {
            r_.gridKind = gridKindName(s_.grid);
            return;
        }
        std::size_t largest = 0;
        for (std::size_t i = 0; i < n; ++i) largest = std::max(largest, Mf[i].size());
        const std::size_t L = grid_.abscissa.size();
        if (L > kDenseGridFactor * largest)
            host_.denseGrid({L, largest, "The common grid has " + std::to_string(L) + " points, " +
                                             std::to_string(L / largest) + " times the " + std::to_string(largest) +
                                             " samples of the largest data set: the finest sample spacing sets it. A "
                                             "logarithmic or uniform grid of fewer points is faster and smaller."});
    }

    void note(int bar, double fraction)
    {
        if (progress_) progress_->update(bar, fraction);
    }
    bool writing() const { return folder_.has_value(); }
    const fs::path& folder() const { return r_.folder; }
    void chart(const ChartRequest& request)
    {
        if (ChartSink* sink = host_.charts()) sink->chart(request);
    }
    ThresholdCharts charts() const { return {s_.thrs, r_.ADM, r_.FDM, r_.GDM, r_.Kadm, r_.Kfdm}; }

    void stages()
    {
        prepareSignals();
        measureAdmFdm();
        progress_.reset();  // the progress display closes while the question is open
        r_.weighted = host_.weightGdm();
        gdmWeights(r_.ADM.Spread, r_.FDM.Spread, r_.weighted, r_.Kadm, r_.Kfdm);
        progress_ = host_.openProgress();
        reportAdmFdm();
        measureGdm();
        reportGradesAndSpreads();
    }

    // Stage 1: the average set (or the chosen reference in its place), spectra, breakpoints
    // and the low/high/DC parts.
    void prepareSignals()
    {
        AnalysisResult& r = r_;
        r.N_DATA = grid_.resampled.size();
        r.abscissa = std::move(grid_.abscissa);
        r.resampled = std::move(grid_.resampled);
        r.reference = s_.reference;
        if (r.reference == 0)
            r.resampled.push_back(averageSet(r.resampled, r.abscissa.size(), r.N_DATA));
        else
            r.resampled.push_back(Vec(r.resampled[r.reference - 1]));
        note(1, 0.3);
        r.spectra = normalisedSpectra(r.resampled, r.abscissa);
        note(1, 0.6);
        Breakpoints cut = findBreakpoints(r.spectra);
        r.spectrumTotals = std::move(cut.spectrumTotals);
        r.breakpoint = std::move(cut.breakpoint);
        Decomposition parts = splitLowHighDc(r.spectra, r.breakpoint);
        r.LowData = std::move(parts.lowParts);
        r.HighData = std::move(parts.highParts);
        r.DC_data = std::move(parts.DC_data);
        drawLowHighParts(plots_, r.abscissa, r.LowData, r.HighData);
        note(1, 1);

        const std::size_t N = r.N_DATA;
        note(2, 0.1);
        if (writing()) writeValues(folder(), r.LowData[N], "LowData_av");
        for (std::size_t k = 1; k <= N; ++k) {
            if (writing()) writeValues(folder(), r.LowData[k - 1], numbered("LowData_", k));
            note(2, 0.1 + static_cast<double>(k) / static_cast<double>(N + 1));
            if (writing()) writeValues(folder(), r.HighData[k - 1], numbered("HighData_", k));
        }
        if (writing()) writeValues(folder(), r.HighData[N], numbered("HighData_", N + 1));  // the average's
        note(2, 1);
        note(3, 0.1);
    }

    // Stage 2: ADM and FDM with their figures, grades and spreads.
    void measureAdmFdm()
    {
        AnalysisResult& r = r_;
        const std::size_t sets = r.N_DATA + 1;
        r.adm = ADM(r.LowData, r.DC_data);
        for (std::size_t k = 1; k <= sets; ++k) {
            drawPointByPoint(plots_, "ADMi_", k, sets, r.abscissa, r.adm.ADMi[k - 1]);
            const Triple p = measureSummary(r.adm.ADMtot[k - 1], r.adm.ADMc[k - 1]);
            drawHistogram(plots_, "ADMc_", k, r.adm.ADMc[k - 1], {p[0], p[1], p[2]});
        }
        note(3, 0.4);
        requireFiniteMeasures(r.adm.ADMi, "ADM");
        r.ADM = gradesAndSpreads(thr_, r.adm.ADMc);
        note(3, 0.7);
        r.fdm = FDM(r.LowData, r.HighData);
        for (std::size_t k = 1; k <= sets; ++k) {
            drawPointByPoint(plots_, "FDMi_", k, sets, r.abscissa, r.fdm.FDMi[k - 1]);
            const Triple p = measureSummary(r.fdm.FDMtot[k - 1], r.fdm.FDMc[k - 1]);
            drawHistogram(plots_, "FDMc_", k, r.fdm.FDMc[k - 1], {p[0], p[1], p[2]});
        }
        requireFiniteMeasures(r.fdm.FDMi, "FDM");
        r.FDM = gradesAndSpreads(thr_, r.fdm.FDMc);
        note(3, 1);
    }

    // The ADM and FDM charts and reports of every set.
    void reportAdmFdm()
    {
        AnalysisResult& r = r_;
        const std::size_t N = r.N_DATA, sets = N + 1;
        note(2, 0.1);
        r.ParametersA.resize(sets);
        r.ParametersF.resize(sets);
        for (std::size_t k = 1; k <= sets; ++k) {
            const std::size_t i = k - 1;
            chart(charts().admChart(i));
            r.ParametersA[i] = measureSummary(r.adm.ADMtot[i], r.adm.ADMc[i]);
            if (writing()) {
                writeMeasureAverages(folder(), r.ParametersA[i], numbered("ADM_", k), r.Kadm[i], -1);
                writeValues(folder(), r.adm.ADMi[i], numbered("ADMi_", k));
                writeValues(folder(), r.adm.ADMc[i], numbered("ADMc_", k));
            }
            note(2, 0.1 + static_cast<double>(k) / static_cast<double>(N + 2));
            chart(charts().fdmChart(i));
            r.ParametersF[i] = measureSummary(r.fdm.FDMtot[i], r.fdm.FDMc[i]);
            if (writing()) {
                writeMeasureAverages(folder(), r.ParametersF[i], numbered("FDM_", k), -1, r.Kfdm[i]);
                writeValues(folder(), r.fdm.FDMi[i], numbered("FDMi_", k));
                writeValues(folder(), r.fdm.FDMc[i], numbered("FDMc_", k));
            }
        }
        note(2, 1);
        note(3, 0.1);
    }

    // Stage 3: GDM with the weights, its figures, grade and spread, charts and reports.
    void measureGdm()
    {
        AnalysisResult& r = r_;
        const std::size_t N = r.N_DATA, sets = N + 1;
        note(3, 0.3);
        r.gdm = GDM(r.fdm.FDMi, r.adm.ADMi, r.LowData[N].size(), r.Kadm, r.Kfdm);
        for (std::size_t k = 1; k <= sets; ++k) {
            const std::size_t i = k - 1;
            drawPointByPoint(plots_, "GDMi_", k, sets, r.abscissa, r.gdm.GDMi[i]);
            const Triple p = measureSummary(r.gdm.GDMtot[i], r.gdm.GDMc[i]);
            drawHistogram(plots_, "GDMc_", k, r.gdm.GDMc[i], {p[0], p[1], p[2], r.Kadm[i], r.Kfdm[i]});
        }
        note(3, 0.6);
        requireFiniteMeasures(r.gdm.GDMi, "GDM");
        r.GDM = gradesAndSpreads(thr_, r.gdm.GDMc);
        note(3, 1);
        note(2, 0.1);
        r.ParametersG.resize(sets);
        for (std::size_t k = 1; k <= sets; ++k) {
            const std::size_t i = k - 1;
            chart(charts().gdmChart(i));
            r.ParametersG[i] = measureSummary(r.gdm.GDMtot[i], r.gdm.GDMc[i]);
            gdmProgress_ = 0.1 + (static_cast<double>(k) / static_cast<double>(N + 2)) / 2;
            note(2, gdmProgress_);
            if (writing()) {
                writeMeasureAverages(folder(), r.ParametersG[i], numbered("GDM_", k), r.Kadm[i], r.Kfdm[i]);
                writeValues(folder(), r.gdm.GDMi[i], numbered("GDMi_", k));
                writeValues(folder(), r.gdm.GDMc[i], numbered("GDMc_", k));
            }
        }
    }

    // The point means and medians, the combined charts, the grade-and-spread report and the
    // MAT-files.
    void reportGradesAndSpreads()
    {
        AnalysisResult& r = r_;
        const std::size_t N = r.N_DATA, sets = N + 1;
        r.parameters_means.resize(sets);
        r.parameters_median.resize(sets);
        // The point means are the totals: each total is the same sum over the same points,
        // divided by the same count, so no pass over the measures is repeated for them.
        for (std::size_t k = 0; k < sets; ++k)
            r.parameters_means[k] = {r.adm.ADMtot[k], r.fdm.FDMtot[k], r.gdm.GDMtot[k]};
        // 27 selections, spread over the cores one measure at a time.
        parallelFor(3 * sets, r.abscissa.size(), [&](std::size_t j) {
            const std::size_t k = j / 3;
            const Vec& v = j % 3 == 0 ? r.adm.ADMi[k] : j % 3 == 1 ? r.fdm.FDMi[k] : r.gdm.GDMi[k];
            r.parameters_median[k][j % 3] = median(v);
        });
        for (std::size_t k = 1; k <= sets; ++k) {
            const std::size_t i = k - 1;
            const std::array<ChartRequest, 4> combined = charts().combinedCharts(i);
            for (std::size_t c = 0; c < 3; ++c) chart(combined[c]);
            note(2, gdmProgress_ + (static_cast<double>(k) / static_cast<double>(N + 2)) / 2);
            chart(combined[3]);
            if (writing())
                writeGradeSpreadReport(folder(), r.ADM.Grade[i], r.ADM.Spread[i], numbered("ADM_", k), r.FDM.Grade[i],
                                       r.FDM.Spread[i], numbered("FDM_", k), r.GDM.Grade[i], r.GDM.Spread[i],
                                       numbered("GDM_", k), "GreadSpread", s_.thrs);
        }
        note(2, 0.98);
        if (writing()) {
            writeAnalysisFile(folder(), analysisFileName(s_.T), r, s_.D, s_.S_MARKER, s_.compression);
            const fs::path thresholdFolder = makeThresholdFolder(folder(), s_.thrs);
            writeGradeSpreadFile(thresholdFolder, s_.D, r.N_DATA, s_.S_MARKER, r.ADM, r.FDM, r.GDM, &r.Kadm, &r.Kfdm,
                                 s_.compression);
            writeSummaries(folder(), s_, r);
            if (s_.writeReport) {
                ReportFacts facts;
                facts.inputs = describeInputs(s_.sourceNames, *inputsMf_, *inputsMd_, s_.readReports);
                facts.weighting = r.weighted;
                writeReport(folder(), s_, r, facts);
            }
        }
        note(2, 1);
    }

    const AnalysisSettings& s_;
    AnalysisHost& host_;
    PlotContext plots_;
    double thr_ = 0;
    CommonGrid grid_;
    AnalysisResult r_;
    std::unique_ptr<Progress> progress_;
    std::optional<AnalysisFolder> folder_;
    double gdmProgress_ = 0.1;
    const SetList* inputsMd_ = nullptr;  // the sets as loaded, for the report
    const SetList* inputsMf_ = nullptr;
};

}  // namespace

std::optional<AnalysisResult> runAnalysis(const AnalysisSettings& settings, const SetList& Md, const SetList& Mf,
                                          AnalysisHost& host)
{
    return Run(settings, host).run(Md, Mf);
}

}  // namespace orvane

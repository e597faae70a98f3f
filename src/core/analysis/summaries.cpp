#include "analysis/summaries.h"

#include "analysis/report.h"

#include "base/parallel.h"
#include "base/text.h"
#include "formats/file_write.h"
#include "method/classes.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace fs = std::filesystem;

namespace orvane {

namespace {

using Json = nlohmann::ordered_json;

struct MeasureView {
    const char* key;   // "adm"
    const char* name;  // "ADM"
    std::size_t column;  // in parameters_median
    const Vec& total;
    const HistogramList& classes;
    const std::vector<Triple>& parameters;
    const GradeSpread& grades;
};

std::array<MeasureView, 3> measures(const AnalysisResult& r)
{
    return {{{"adm", "ADM", 0, r.adm.ADMtot, r.adm.ADMc, r.ParametersA, r.ADM},
             {"fdm", "FDM", 1, r.fdm.FDMtot, r.fdm.FDMc, r.ParametersF, r.FDM},
             {"gdm", "GDM", 2, r.gdm.GDMtot, r.gdm.GDMc, r.ParametersG, r.GDM}}};
}

// "Very Good" from "Very Good (0.1,0.2]"; empty for a grade outside 1 … 6.
std::string className(double grade)
{
    if (!(grade >= 1 && grade <= static_cast<double>(kClasses)) || grade != std::floor(grade)) return {};
    const std::string_view label = kClassLabels[static_cast<std::size_t>(grade) - 1];
    return std::string(label.substr(0, label.find(" (")));
}

// The snake_case key of a class: "very_good".
std::string classKey(std::size_t c)
{
    std::string key = lowercase(className(static_cast<double>(c + 1)));
    for (char& ch : key)
        if (ch == ' ') ch = '_';
    return key;
}

Json number(double v) { return std::isfinite(v) ? Json(v) : Json(nullptr); }

// Grades, spreads and a threshold like 85 read best as whole numbers.
Json count(double v)
{
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) return Json(static_cast<long long>(v));
    return number(v);
}

Json text(std::string_view s) { return escapeInvalidUtf8(s); }

const char* domainName(const AnalysisSettings& s) { return s.D == 1 ? "time" : "frequency"; }

const char* analysisName(const AnalysisSettings& s)
{
    if (s.T == 2) return "phase";
    return s.D == 1 ? "time" : "magnitude";
}

const char* gridKind(AnalysisSettings::Grid g)
{
    switch (g) {
    case AnalysisSettings::Grid::Uniform: return "uniform";
    case AnalysisSettings::Grid::Logarithmic: return "logarithmic";
    case AnalysisSettings::Grid::Finest: break;
    }
    return "finest";
}

// The input behind entry k: the set itself, for the last entry the chosen reference set;
// N_DATA (no input) for the average.
std::size_t sourceIndex(const AnalysisResult& r, std::size_t k)
{
    if (k < r.N_DATA) return k;
    return r.reference == 0 ? r.N_DATA : r.reference - 1;
}

std::string sourceOf(const AnalysisSettings& s, std::size_t k)
{
    return k < s.sourceNames.size() ? s.sourceNames[k] : std::string();
}

Json readReport(const ReadReport& r)
{
    Json j;
    j["format"] = text(r.format);
    j["encoding"] = text(r.encoding);
    j["plain"] = r.plain;
    j["description"] = text(r.summary());
    j["x_column"] = r.xColumn;
    j["y_column"] = r.yColumn;
    j["columns"] = r.columns;
    j["x_title"] = text(r.xHeader);
    j["y_title"] = text(r.yHeader);
    j["x_unit"] = text(r.xUnit);
    j["x_scale"] = number(r.xScale);
    j["skipped_lines"] = r.skippedLines;
    j["decimal_comma"] = r.decimalComma;
    j["quoted_fields"] = r.quotedFields;
    j["merged_samples"] = r.mergedSamples;
    if (r.ports > 0) {
        Json t;
        t["ports"] = r.ports;
        t["parameter"] = text(r.parameter);
        t["quantity"] = text(r.quantity);
        t["stored_format"] = text(r.storedFormat);
        Json z = Json::array();
        for (const double ohm : r.referenceImpedance) z.push_back(number(ohm));
        t["reference_impedance"] = z;
        j["touchstone"] = t;
    }
    return j;
}

Json measureObject(const AnalysisResult& r, const MeasureView& m, std::size_t k)
{
    Json j;
    const GradeRecord& grade = m.grades.Grade[k];
    const GradeRecord& spread = m.grades.Spread[k];
    j["total"] = number(m.total[k]);
    j["mean_class"] = number(m.parameters[k][1]);
    j["class_scale_total"] = number(m.parameters[k][2]);
    j["median"] = number(r.parameters_median[k][m.column]);
    j["grade"] = count(grade.value);
    j["grade_range"] = text(trimTrailingBlanks(grade.range));
    j["grade_class"] = className(grade.value);
    j["spread"] = count(spread.value);
    j["spread_range"] = text(trimTrailingBlanks(spread.range));
    Json classes;
    for (std::size_t c = 0; c < kClasses; ++c) classes[classKey(c)] = number(m.classes[k][c]);
    j["classes"] = classes;
    return j;
}

std::string shortest(double v)
{
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// One CSV field: quoted when it holds a separator, quote or line end.
std::string csvField(std::string_view raw)
{
    const std::string s = escapeInvalidUtf8(raw);
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string csvNumber(double v) { return std::isfinite(v) ? shortest(v) : std::string(); }

// abscissa,ADMi,FDMi,GDMi rows of set k, in pieces formatted on all cores (shortest
// round-trip text costs some 50 ns a value).
std::vector<std::string> pointwiseCsv(const AnalysisResult& r, std::size_t k)
{
    constexpr std::size_t kRowsPerPiece = std::size_t{1} << 14;
    const std::size_t L = r.abscissa.size();
    const std::array<const Vec*, 4> columns{&r.abscissa, &r.adm.ADMi[k], &r.fdm.FDMi[k], &r.gdm.GDMi[k]};
    std::vector<std::string> pieces(1 + (L + kRowsPerPiece - 1) / kRowsPerPiece);
    pieces[0] = "abscissa,ADMi,FDMi,GDMi\n";
    parallelFor(pieces.size() - 1, kRowsPerPiece * columns.size(), [&](std::size_t p) {
        const std::size_t first = p * kRowsPerPiece, last = std::min(L, first + kRowsPerPiece);
        std::string& piece = pieces[p + 1];
        piece.reserve((last - first) * 4 * 25);
        char buf[32];
        for (std::size_t i = first; i < last; ++i) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (c > 0) piece += ',';
                piece.append(buf, std::to_chars(buf, buf + sizeof buf, (*columns[c])[i]).ptr);
            }
            piece += '\n';
        }
    });
    return pieces;
}

}  // namespace

std::string comparisonOf(const AnalysisResult& r, std::size_t set)
{
    if (set == r.N_DATA)
        return r.reference == 0 ? "the average of the sets"
                                : "the reference (set " + std::to_string(r.reference) + ")";
    return "set " + std::to_string(set + 1) + (r.reference == 0 ? " against the average" : " against the reference");
}

std::string summaryJson(const AnalysisSettings& s, const AnalysisResult& r)
{
    const std::size_t N = r.N_DATA;
    Json j;
    j["schema"] = kSummarySchema;
    j["program"] = "orvane";
    j["version"] = programVersion();
    j["folder"] = r.folder.empty() ? Json(nullptr) : text(r.folder.string());
    j["domain"] = domainName(s);
    j["analysis"] = analysisName(s);
    j["threshold"] = count(str2double(s.thrs));
    j["weighting"] = r.weighted;
    j["data_sets"] = N;

    Json reference;
    reference["set"] = N + 1;
    reference["kind"] = r.reference == 0 ? "average" : "data_set";
    reference["data_set"] = r.reference == 0 ? Json(nullptr) : Json(r.reference);
    reference["description"] = comparisonOf(r, N);
    j["reference"] = reference;

    Json grid;
    const std::size_t L = r.abscissa.size();
    grid["kind"] = gridKind(s.grid);
    grid["points"] = L;
    grid["spacing"] = L > 1 ? number(r.abscissa[1] - r.abscissa[0]) : Json(nullptr);
    grid["from"] = L > 0 ? number(r.abscissa.front()) : Json(nullptr);
    grid["to"] = L > 0 ? number(r.abscissa.back()) : Json(nullptr);
    j["grid"] = grid;

    Json sets = Json::array();
    const auto views = measures(r);
    for (std::size_t k = 0; k <= N; ++k) {
        Json set;
        set["set"] = k + 1;
        set["role"] = k == N ? "reference" : "data_set";
        set["comparison"] = comparisonOf(r, k);
        const std::size_t source = sourceIndex(r, k);
        const std::string file = sourceOf(s, source);
        set["file"] = file.empty() ? Json(nullptr) : text(file);
        set["read"] = source < s.readReports.size() ? readReport(s.readReports[source]) : Json(nullptr);
        for (const MeasureView& m : views) set[m.key] = measureObject(r, m, k);
        set["gdm_weights"] = {{"k_adm", number(r.Kadm[k])}, {"k_fdm", number(r.Kfdm[k])}};
        sets.push_back(std::move(set));
    }
    j["sets"] = std::move(sets);
    // Every text from outside went through escapeInvalidUtf8, so the strict dump never throws.
    return j.dump(2) + '\n';
}

std::string summaryCsv(const AnalysisSettings& s, const AnalysisResult& r)
{
    std::string out = "set,comparison,file,measure,total,mean_class,class_scale_total,median,grade,grade_range,"
                      "grade_class,spread,spread_range,k_adm,k_fdm";
    for (std::size_t c = 0; c < kClasses; ++c) out += "," + classKey(c);
    out += '\n';
    const std::size_t N = r.N_DATA;
    for (std::size_t k = 0; k <= N; ++k) {
        const std::size_t source = sourceIndex(r, k);
        for (const MeasureView& m : measures(r)) {
            const GradeRecord& grade = m.grades.Grade[k];
            const GradeRecord& spread = m.grades.Spread[k];
            out += std::to_string(k + 1) + ',' + csvField(comparisonOf(r, k)) + ',' + csvField(sourceOf(s, source)) +
                   ',' + m.name + ',' + csvNumber(m.total[k]) + ',' + csvNumber(m.parameters[k][1]) + ',' +
                   csvNumber(m.parameters[k][2]) + ',' + csvNumber(r.parameters_median[k][m.column]) + ',' +
                   csvNumber(grade.value) + ',' + csvField(trimTrailingBlanks(grade.range)) + ',' +
                   csvField(className(grade.value)) + ',' + csvNumber(spread.value) + ',' +
                   csvField(trimTrailingBlanks(spread.range)) + ',' + csvNumber(r.Kadm[k]) + ',' +
                   csvNumber(r.Kfdm[k]);
            for (std::size_t c = 0; c < kClasses; ++c) out += ',' + csvNumber(m.classes[k][c]);
            out += '\n';
        }
    }
    return out;
}

void writeSummaries(const fs::path& folder, const AnalysisSettings& settings, const AnalysisResult& result)
{
    writeFileAtomically(folder / kSummaryJsonFile, summaryJson(settings, result));
    writeFileAtomically(folder / kSummaryCsvFile, summaryCsv(settings, result));
    for (std::size_t k = 0; k <= result.N_DATA; ++k)
        writeFileAtomically(folder / ("pointwise_" + std::to_string(k + 1) + ".csv"), pointwiseCsv(result, k));
}

}  // namespace orvane

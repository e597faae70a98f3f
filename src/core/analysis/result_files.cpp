// Writing the result MAT-files, and loading them back whole.
#include "analysis/result_files.h"
#include "analysis/analysis_file_layout.h"
#include "formats/mat_io.h"

#include <matio.h>

#include <deque>
#include <stdexcept>
#include <type_traits>
#include <variant>

namespace orvane {

const char* analysisFileName(int T)
{
    if (T == 1) return kMagnitudeAnalysisFile;
    if (T == 2) return kPhaseAnalysisFile;
    throw std::invalid_argument("analysis type T must be 1 or 2");
}

namespace {

namespace fs = std::filesystem;
using matfile::VarPtr;
using matfile::writeFailed;

// The variables of one writing pass. matio writes straight from the result's own arrays
// (MAT_F_DONT_COPY_DATA); what has no array of its own (scalars made here, split complex
// parts) is kept here until the pass is written.
class Pass {
public:
    explicit Pass(const fs::path& file) : file_(file) {}

    std::vector<VarPtr> vars;

    void scalar(const char* name, double value)
    {
        numbers_.push_back(value);
        vars.push_back(number(name, &numbers_.back()));
    }
    void text(const char* name, const std::string& s) { vars.push_back(chars(name, s)); }
    void column(const char* name, const Vec& v) { vars.push_back(array(name, v.data(), v.size(), 1)); }
    void row(const char* name, const Vec& v) { vars.push_back(array(name, v.data(), 1, v.size())); }

    void columns(const char* name, const SetList& list)
    {
        cells(name, list.size(), [&](std::size_t k) { return array(nullptr, list[k].data(), list[k].size(), 1); });
    }
    void spectra(const char* name, const SpectrumList& list)
    {
        // matio wants real and imaginary parts apart.
        splits_.emplace_back(list.size());
        std::vector<mat_complex_split_t>& split = splits_.back();
        for (std::size_t k = 0; k < list.size(); ++k) {
            Vec& re = parts_.emplace_back(list[k].size());
            Vec& im = parts_.emplace_back(list[k].size());
            for (std::size_t i = 0; i < list[k].size(); ++i) {
                re[i] = list[k][i].real();
                im[i] = list[k][i].imag();
            }
            split[k] = {re.empty() ? &kNothing : re.data(), im.empty() ? &kNothing : im.data()};
        }
        cells(name, list.size(), [&](std::size_t k) {
            std::size_t dims[2] = {list[k].size(), 1};
            return create(nullptr, MAT_C_DOUBLE, MAT_T_DOUBLE, dims, &split[k], MAT_F_COMPLEX | MAT_F_DONT_COPY_DATA);
        });
    }
    void scalars(const char* name, const Vec& v)
    {
        cells(name, v.size(), [&](std::size_t k) { return number(nullptr, &v[k]); });
    }
    void histograms(const char* name, const HistogramList& list)
    {
        cells(name, list.size(), [&](std::size_t k) { return array(nullptr, list[k].data(), kClasses, 1); });
    }
    void triples(const char* name, const std::vector<Triple>& list)
    {
        cells(name, list.size(), [&](std::size_t k) { return array(nullptr, list[k].data(), 3, 1); });
    }
    void records(const char* name, const GradeList& list)
    {
        cells(name, list.size(), [&](std::size_t k) {
            static const char* const fields[] = {"value", "range", nullptr};
            std::size_t dims[2] = {1, 1};
            VarPtr s(Mat_VarCreateStruct2(nullptr, 2, dims, fields));
            if (!s) outOfMemory(name);
            // The struct owns its fields once they are set; it had none before.
            Mat_VarFree(Mat_VarSetStructFieldByName(s.get(), "value", 0, number(nullptr, &list[k].value).release()));
            Mat_VarFree(Mat_VarSetStructFieldByName(s.get(), "range", 0, chars(nullptr, list[k].range).release()));
            return s;
        });
    }

    void add(const AnalysisVariable& v, const AnalysisFileSource& source)
    {
        using K = AnalysisVariableKind;
        std::visit(
            [&](const auto& field) {
                const auto& value = field.get(source);
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, int> || std::is_same_v<T, std::size_t>)
                    scalar(v.name, static_cast<double>(value));
                else if constexpr (std::is_same_v<T, std::string>)
                    text(v.name, value);
                else if constexpr (std::is_same_v<T, Vec>) {
                    if (v.kind == K::Column) column(v.name, value);
                    else if (v.kind == K::Row) row(v.name, value);
                    else scalars(v.name, value);
                } else if constexpr (std::is_same_v<T, SetList>)
                    columns(v.name, value);
                else if constexpr (std::is_same_v<T, SpectrumList>)
                    spectra(v.name, value);
                else if constexpr (std::is_same_v<T, HistogramList>)
                    histograms(v.name, value);
                else if constexpr (std::is_same_v<T, std::vector<Triple>>)
                    triples(v.name, value);
                else
                    records(v.name, value);
            },
            v.field);
    }

private:
    static inline double kNothing = 0;  // a valid pointer for empty arrays

    [[noreturn]] void outOfMemory(const char* name) const
    {
        writeFailed(file_, "cannot be prepared for writing (out of memory)", name ? name : "");
    }

    VarPtr create(const char* name, matio_classes cls, matio_types type, std::size_t (&dims)[2], const void* data,
                  int flags)
    {
        VarPtr v(Mat_VarCreate(name, cls, type, 2, dims, const_cast<void*>(data), flags));
        if (!v) outOfMemory(name);
        return v;
    }
    VarPtr array(const char* name, const double* data, std::size_t rows, std::size_t cols)
    {
        std::size_t dims[2] = {rows, cols};
        const double* values = rows * cols != 0 ? data : &kNothing;
        return create(name, MAT_C_DOUBLE, MAT_T_DOUBLE, dims, values, MAT_F_DONT_COPY_DATA);
    }
    VarPtr number(const char* name, const double* value) { return array(name, value, 1, 1); }
    VarPtr chars(const char* name, const std::string& s)
    {
        std::size_t dims[2] = {1, s.size()};
        return create(name, MAT_C_CHAR, MAT_T_UTF8, dims, s.c_str(), MAT_F_DONT_COPY_DATA);
    }

    // A 1 × n cell array; entry(k) makes cell k.
    template <class Entry>
    void cells(const char* name, std::size_t n, Entry entry)
    {
        std::vector<VarPtr> owned;
        owned.reserve(n);
        for (std::size_t k = 0; k < n; ++k) owned.push_back(entry(k));
        std::vector<matvar_t*> raw(n);
        for (std::size_t k = 0; k < n; ++k) raw[k] = owned[k].get();
        std::size_t dims[2] = {1, n};
        // matio copies the array of cell pointers and owns the cells from here on.
        vars.push_back(create(name, MAT_C_CELL, MAT_T_CELL, dims, raw.data(), 0));
        for (VarPtr& c : owned) c.release();
    }

    fs::path file_;
    std::deque<double> numbers_;
    std::deque<Vec> parts_;
    std::deque<std::vector<mat_complex_split_t>> splits_;
};

template <class List>
void requireEntries(const fs::path& file, const char* name, const List& list, std::size_t sets)
{
    if (list.size() != sets)
        writeFailed(file,
                    "has " + std::to_string(list.size()) + " entries, expected N_DATA+1 = " + std::to_string(sets),
                    name);
}

void requireRecords(const fs::path& file, const GradeSpread& gs, const char* grade, const char* spread,
                    std::size_t sets)
{
    requireEntries(file, grade, gs.Grade, sets);
    requireEntries(file, spread, gs.Spread, sets);
}

}  // namespace

fs::path writeAnalysisFile(const fs::path& folder, const std::string& fileName, const AnalysisResult& r, int D,
                           const std::string& S_MARKER, matfile::Compression compression)
{
    const fs::path file = folder / fileName;
    const AnalysisFileSource source{D, S_MARKER, r};
    const std::size_t n = r.N_DATA + 1;
    for (const AnalysisVariable& v : kAnalysisVariables)
        if (v.perSet)
            std::visit([&](const auto& field) {
                if constexpr (requires { field.get(source).size(); }) requireEntries(file, v.name, field.get(source), n);
            }, v.field);

    matfile::Writer writer(folder, fileName, compression);
    for (int pass = 1; pass <= 3; ++pass) {
        Pass p(file);
        for (const AnalysisVariable& v : kAnalysisVariables)
            if (v.pass == pass && !omittedFromFile(v, source)) p.add(v, source);
        writer.write(p.vars);
    }
    return writer.commit();
}

fs::path writeGradeSpreadFile(const fs::path& folder, int D, std::size_t N_DATA, const std::string& S_MARKER,
                              const GradeSpread& ADM, const GradeSpread& FDM, const GradeSpread& GDM, const Vec* Kadm,
                              const Vec* Kfdm, matfile::Compression compression)
{
    const fs::path file = folder / kGradeSpreadFile;
    const std::size_t n = N_DATA + 1;
    requireRecords(file, ADM, "Grade_ADM", "Spread_ADM", n);
    requireRecords(file, FDM, "Grade_FDM", "Spread_FDM", n);
    requireRecords(file, GDM, "Grade_GDM", "Spread_GDM", n);
    if (Kadm) requireEntries(file, "Kadm", *Kadm, n);
    if (Kfdm) requireEntries(file, "Kfdm", *Kfdm, n);

    matfile::Writer writer(folder, kGradeSpreadFile, compression);
    Pass p(file);
    p.scalar("D", D);
    p.scalar("N_DATA", static_cast<double>(N_DATA));
    p.text("S_MARKER", S_MARKER);
    p.records("Grade_ADM", ADM.Grade);
    p.records("Spread_ADM", ADM.Spread);
    p.records("Grade_FDM", FDM.Grade);
    p.records("Spread_FDM", FDM.Spread);
    p.records("Grade_GDM", GDM.Grade);
    p.records("Spread_GDM", GDM.Spread);
    if (Kadm) p.scalars("Kadm", *Kadm);
    if (Kfdm) p.scalars("Kfdm", *Kfdm);
    writer.write(p.vars);
    return writer.commit();
}

LoadedAnalysis loadAnalysisFile(const fs::path& path)
{
    const ResultFile f(path);
    LoadedAnalysis out;
    AnalysisResult& r = out.result;
    // What the others are checked against comes first.
    out.D = f.domain();
    r.N_DATA = f.dataSets();
    out.S_MARKER = f.text("S_MARKER");
    r.abscissa = f.column("Mfreq");
    r.reference = f.referenceSet(r.N_DATA);
    const std::size_t n = r.N_DATA + 1;
    const std::size_t L = r.abscissa.size();
    using K = AnalysisVariableKind;
    for (const AnalysisVariable& v : kAnalysisVariables) {
        if (v.omittedWhenUnset && v.kind == K::Text) {
            if (f.has(v.name)) std::get<AnalysisField<std::string>>(v.field).put(out) = f.text(v.name);
            continue;
        }
        if (v.kind == K::Number || v.kind == K::Text || v.kind == K::Column) continue;
        const std::optional<std::size_t> length = v.gridLength ? std::optional(L) : std::nullopt;
        std::visit(
            [&](const auto& field) {
                auto& value = field.put(out);
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, Vec>)
                    value = v.kind == K::Row ? f.row(v.name, n) : f.scalars(v.name, n);
                else if constexpr (std::is_same_v<T, SetList>)
                    value = f.columns(v.name, n, length);
                else if constexpr (std::is_same_v<T, SpectrumList>)
                    value = f.spectra(v.name, n);
                else if constexpr (std::is_same_v<T, HistogramList>)
                    value = f.histograms(v.name, n);
                else if constexpr (std::is_same_v<T, std::vector<Triple>>)
                    value = f.triples(v.name, n);
                else if constexpr (std::is_same_v<T, GradeList>)
                    value = f.records(v.name, n);
            },
            v.field);
    }
    return out;
}

LoadedGradeSpread loadGradeSpreadFile(const fs::path& path)
{
    const ResultFile f(path);
    LoadedGradeSpread out;
    out.D = f.domain();
    out.N_DATA = f.dataSets();
    out.S_MARKER = f.text("S_MARKER");
    const std::size_t n = out.N_DATA + 1;
    out.ADM = {f.records("Grade_ADM", n), f.records("Spread_ADM", n)};
    out.FDM = {f.records("Grade_FDM", n), f.records("Spread_FDM", n)};
    out.GDM = {f.records("Grade_GDM", n), f.records("Spread_GDM", n)};
    if (f.has("Kadm")) out.Kadm = f.scalars("Kadm", n);
    if (f.has("Kfdm")) out.Kfdm = f.scalars("Kfdm", n);
    return out;
}

}  // namespace orvane

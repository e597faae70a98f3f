#include "python/result_object.h"

#include "python/views.h"

#include "analysis/summaries.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace orvane::python {

namespace {

const AnalysisResult& resultOf(const py::object& self) { return self.cast<const ModuleResult&>().outcome.result; }

py::list floats(const Vec& values) { return py::cast(std::vector<double>(values.begin(), values.end())); }

py::list wholeNumbers(const Vec& values)
{
    py::list list;
    for (double v : values) list.append(static_cast<long long>(v));
    return list;
}

py::list values(const GradeList& records)
{
    py::list list;
    for (const GradeRecord& r : records) list.append(static_cast<int>(r.value));
    return list;
}

py::list ranges(const GradeList& records)
{
    py::list list;
    for (const GradeRecord& r : records) list.append(r.range);
    return list;
}

py::list triples(const std::vector<Triple>& list)
{
    py::list out;
    for (const Triple& t : list) out.append(py::make_tuple(t[0], t[1], t[2]));
    return out;
}

// A per-set array list, with the result kept alive by the views.
template <class Field>
void arrays(py::class_<ModuleResult>& cls, const char* name, Field field, const char* doc)
{
    cls.def_property_readonly(name, [field](const py::object& self) { return viewsOf(field(resultOf(self)), self); }, doc);
}

template <class Field>
void plain(py::class_<ModuleResult>& cls, const char* name, Field field, const char* doc)
{
    cls.def_property_readonly(name, [field](const py::object& self) { return field(resultOf(self)); }, doc);
}

// Grade and spread of one measure: values 1 … 6 and the class spans.
void gradeSpread(py::class_<ModuleResult>& cls, const std::string& measure, const GradeSpread AnalysisResult::*field)
{
    const std::string upper = measure == "adm" ? "ADM" : measure == "fdm" ? "FDM" : "GDM";
    auto records = [field](const py::object& self) -> const GradeSpread& { return resultOf(self).*field; };
    cls.def_property_readonly((measure + "_grade").c_str(), [records](const py::object& self) { return values(records(self).Grade); },
                              ("Grade of the " + upper + " per set (1 best … 6), the reference last.").c_str());
    cls.def_property_readonly((measure + "_spread").c_str(), [records](const py::object& self) { return values(records(self).Spread); },
                              ("Spread of the " + upper + " per set (1 best … 6), the reference last.").c_str());
    cls.def_property_readonly((measure + "_grade_range").c_str(), [records](const py::object& self) { return ranges(records(self).Grade); },
                              ("Classes the " + upper + " grade spans per set (\"E-G\"), the reference last.").c_str());
    cls.def_property_readonly((measure + "_spread_range").c_str(), [records](const py::object& self) { return ranges(records(self).Spread); },
                              ("Classes the " + upper + " spread spans per set (\"VG-P\"), the reference last.").c_str());
}

}  // namespace

py::dict reportDict(const ReadReport& r)
{
    py::dict d;
    d["format"] = r.format;
    d["encoding"] = r.encoding;
    d["plain"] = r.plain;
    d["columns"] = r.columns;
    d["x_column"] = r.xColumn;
    d["y_column"] = r.yColumn;
    d["x_header"] = r.xHeader;
    d["y_header"] = r.yHeader;
    d["x_unit"] = r.xUnit;
    d["x_scale"] = r.xScale;
    d["skipped_lines"] = r.skippedLines;
    d["decimal_comma"] = r.decimalComma;
    d["quoted_fields"] = r.quotedFields;
    d["merged_samples"] = r.mergedSamples;
    d["ports"] = r.ports;
    d["parameter"] = r.parameter;
    d["quantity"] = r.quantity;
    d["stored_format"] = r.storedFormat;
    d["reference_impedance"] = r.referenceImpedance;
    d["summary"] = r.summary();
    return d;
}

void bindResult(py::module_& m)
{
    py::class_<ModuleResult> cls(m, "Result", R"doc(A finished analysis.

Per-set values hold one entry per data set and then one for the reference (the average of
the sets unless another was chosen), in the order of the analysis file. Arrays are
read-only views of the analysis's own memory: they keep the result alive, nothing is copied.)doc");
    cls.def_property_readonly("n_sets", [](const py::object& self) { return resultOf(self).N_DATA; },
                              "Number of data sets (the reference not counted).");
    cls.def_property_readonly("domain", [](const ModuleResult& r) { return r.domain; }, "\"time\", \"magnitude\" or \"phase\".");
    cls.def_property_readonly("threshold", [](const ModuleResult& r) { return r.threshold; },
                              "Threshold of grade and spread, in percent.");
    cls.def_property_readonly("analysis_seconds", [](const ModuleResult& r) { return r.outcome.analysisSeconds; },
                              "Wall time of the analysis itself, in seconds (files read before it not counted).");
    cls.def_property_readonly("weighting", [](const ModuleResult& r) { return r.weighting; }, "Whether the GDM was weighted.");
    cls.def_property_readonly(
        "folder",
        [](const ModuleResult& r) -> py::object {
            if (r.outcome.result.folder.empty()) return py::none();
            return py::str(r.outcome.result.folder.string());
        },
        "The analysis sub-folder written, or None when no output folder was given.");
    cls.def_property_readonly(
        "sources",
        [](const ModuleResult& r) {
            py::list list;
            for (const std::string& s : r.outcome.sources) list.append(s.empty() ? py::object(py::none()) : py::str(s));
            return list;
        },
        "Per data set, the file it was read from (absolute), or None for numbers.");
    cls.def(
        "summary",
        [](const ModuleResult& r) {
            return py::module_::import("json").attr("loads")(summaryJson(r.outcome.settings, r.outcome.result));
        },
        "The analysis as summary.json holds it (the same document, as dicts and lists).");
    cls.def_property_readonly(
        "read_reports",
        [](const ModuleResult& r) {
            py::list list;
            for (std::size_t k = 0; k < r.outcome.sources.size(); ++k)
                list.append(r.outcome.sources[k].empty() ? py::object(py::none()) : reportDict(r.outcome.readReports[k]));
            return list;
        },
        "Per data set, what reading its file found (as orvane.read reports it), or None for numbers.");

    cls.def_property_readonly("x", [](const py::object& self) { return viewOf(resultOf(self).abscissa, self); },
                              "The common grid (abscissa) every set was resampled onto.");
    arrays(cls, "resampled", [](const AnalysisResult& r) -> const SetList& { return r.resampled; },
           "The sets on the common grid, the reference last.");
    cls.def_property_readonly("spectra", [](const py::object& self) { return viewsOf(resultOf(self).spectra, self); },
                              "Normalised spectra (complex) per set, the reference last.");
    arrays(cls, "low", [](const AnalysisResult& r) -> const SetList& { return r.LowData; }, "Low parts (trends) per set, the reference last.");
    arrays(cls, "high", [](const AnalysisResult& r) -> const SetList& { return r.HighData; }, "High parts (features) per set, the reference last.");
    arrays(cls, "dc", [](const AnalysisResult& r) -> const SetList& { return r.DC_data; }, "DC parts per set, the reference last.");
    arrays(cls, "adm_i", [](const AnalysisResult& r) -> const SetList& { return r.adm.ADMi; }, "ADM point by point per set, the reference last.");
    arrays(cls, "adm_offset_i", [](const AnalysisResult& r) -> const SetList& { return r.adm.ADM_oldi; },
           "The offset term of the ADM point by point per set, the reference last.");
    arrays(cls, "fdm_i", [](const AnalysisResult& r) -> const SetList& { return r.fdm.FDMi; }, "FDM point by point per set, the reference last.");
    arrays(cls, "gdm_i", [](const AnalysisResult& r) -> const SetList& { return r.gdm.GDMi; }, "GDM point by point per set, the reference last.");
    cls.def_property_readonly("adm_c", [](const py::object& self) { return viewOf(resultOf(self).adm.ADMc, self); },
                              "ADM class fractions, one row of six (Excellent first) per set, the reference last.");
    cls.def_property_readonly("fdm_c", [](const py::object& self) { return viewOf(resultOf(self).fdm.FDMc, self); },
                              "FDM class fractions, one row of six (Excellent first) per set, the reference last.");
    cls.def_property_readonly("gdm_c", [](const py::object& self) { return viewOf(resultOf(self).gdm.GDMc, self); },
                              "GDM class fractions, one row of six (Excellent first) per set, the reference last.");

    plain(cls, "adm_total", [](const AnalysisResult& r) { return floats(r.adm.ADMtot); }, "Mean ADM per set, the reference last.");
    plain(cls, "fdm_total", [](const AnalysisResult& r) { return floats(r.fdm.FDMtot); }, "Mean FDM per set, the reference last.");
    plain(cls, "gdm_total", [](const AnalysisResult& r) { return floats(r.gdm.GDMtot); }, "Mean GDM per set, the reference last.");
    gradeSpread(cls, "adm", &AnalysisResult::ADM);
    gradeSpread(cls, "fdm", &AnalysisResult::FDM);
    gradeSpread(cls, "gdm", &AnalysisResult::GDM);
    plain(cls, "k_adm", [](const AnalysisResult& r) { return floats(r.Kadm); }, "GDM weight k_ADM per set, the reference last.");
    plain(cls, "k_fdm", [](const AnalysisResult& r) { return floats(r.Kfdm); }, "GDM weight k_FDM per set, the reference last.");
    plain(cls, "alpha_adm", [](const AnalysisResult& r) { return floats(r.adm.Alpha_ADM); },
          "Normaliser of the ADM's offset term per set, the reference last.");
    plain(cls, "breakpoints", [](const AnalysisResult& r) { return wholeNumbers(r.breakpoint); },
          "Spectrum bin separating trend from features per set, the reference last.");
    plain(cls, "spectrum_totals", [](const AnalysisResult& r) { return floats(r.spectrumTotals); },
          "Sum of each normalised spectrum, the reference last.");
    plain(cls, "adm_parameters", [](const AnalysisResult& r) { return triples(r.ParametersA); },
          "(total, mean class, class-scale total) of the ADM per set, the reference last.");
    plain(cls, "fdm_parameters", [](const AnalysisResult& r) { return triples(r.ParametersF); },
          "(total, mean class, class-scale total) of the FDM per set, the reference last.");
    plain(cls, "gdm_parameters", [](const AnalysisResult& r) { return triples(r.ParametersG); },
          "(total, mean class, class-scale total) of the GDM per set, the reference last.");
    plain(cls, "means", [](const AnalysisResult& r) { return triples(r.parameters_means); },
          "(ADM, FDM, GDM) means over the points per set, the reference last.");
    plain(cls, "medians", [](const AnalysisResult& r) { return triples(r.parameters_median); },
          "(ADM, FDM, GDM) medians over the points per set, the reference last.");
    cls.def("__repr__", [](const ModuleResult& r) {
        const AnalysisResult& a = r.outcome.result;
        return "<orvane.Result: " + std::to_string(a.N_DATA) + " sets, " + r.domain + ", " +
               std::to_string(a.abscissa.size()) + " points" +
               (a.folder.empty() ? std::string() : ", written to " + a.folder.string()) + ">";
    });
}

}  // namespace orvane::python

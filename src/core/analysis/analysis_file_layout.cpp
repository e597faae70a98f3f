#include "analysis/analysis_file_layout.h"

#include "analysis/result_files.h"

namespace orvane {

namespace {

using K = AnalysisVariableKind;

// Both sides name their parts alike (D, S_MARKER, result.…), so one path serves both.
#define ORVANE_FIELD(T, path)                                                          \
    AnalysisField<T>                                                                   \
    {                                                                                  \
        [](const AnalysisFileSource& s) -> const T& { return s.path; },               \
            [](LoadedAnalysis& l) -> T& { return l.path; }                             \
    }

}  // namespace

const std::array<AnalysisVariable, kAnalysisVariableCount> kAnalysisVariables = {{
    {"D", K::Number, 1, false, false, ORVANE_FIELD(int, D)},
    {"Grade_ADM", K::Records, 1, true, false, ORVANE_FIELD(GradeList, result.ADM.Grade)},
    {"parameters_means", K::Triples, 1, true, false, ORVANE_FIELD(std::vector<Triple>, result.parameters_means)},
    {"parameters_median", K::Triples, 1, true, false, ORVANE_FIELD(std::vector<Triple>, result.parameters_median)},
    {"Spread_ADM", K::Records, 1, true, false, ORVANE_FIELD(GradeList, result.ADM.Spread)},
    {"Grade_FDM", K::Records, 1, true, false, ORVANE_FIELD(GradeList, result.FDM.Grade)},
    {"Spread_FDM", K::Records, 1, true, false, ORVANE_FIELD(GradeList, result.FDM.Spread)},
    {"Grade_GDM", K::Records, 1, true, false, ORVANE_FIELD(GradeList, result.GDM.Grade)},
    {"Spread_GDM", K::Records, 1, true, false, ORVANE_FIELD(GradeList, result.GDM.Spread)},
    {"ParametersA", K::Triples, 1, true, false, ORVANE_FIELD(std::vector<Triple>, result.ParametersA)},
    {"ParametersF", K::Triples, 1, true, false, ORVANE_FIELD(std::vector<Triple>, result.ParametersF)},
    {"ParametersG", K::Triples, 1, true, false, ORVANE_FIELD(std::vector<Triple>, result.ParametersG)},
    {"Mfreq", K::Column, 1, false, false, ORVANE_FIELD(Vec, result.abscissa)},
    {"Mdata", K::Columns, 1, true, true, ORVANE_FIELD(SetList, result.resampled)},
    {"FFTnewdata", K::Spectra, 1, true, false, ORVANE_FIELD(SpectrumList, result.spectra)},

    {"TotalFFT", K::Scalars, 2, true, false, ORVANE_FIELD(Vec, result.spectrumTotals)},
    {"breakpoint", K::Row, 2, true, false, ORVANE_FIELD(Vec, result.breakpoint)},
    {"LowData", K::Columns, 2, true, false, ORVANE_FIELD(SetList, result.LowData)},
    {"HighData", K::Columns, 2, true, false, ORVANE_FIELD(SetList, result.HighData)},
    {"ADMi", K::Columns, 2, true, false, ORVANE_FIELD(SetList, result.adm.ADMi)},
    {"ADMc", K::Histograms, 2, true, false, ORVANE_FIELD(HistogramList, result.adm.ADMc)},
    {"ADMtot", K::Scalars, 2, true, false, ORVANE_FIELD(Vec, result.adm.ADMtot)},
    {"ADM_oldi", K::Columns, 2, true, false, ORVANE_FIELD(SetList, result.adm.ADM_oldi)},
    {"FDMi", K::Columns, 2, true, false, ORVANE_FIELD(SetList, result.fdm.FDMi)},
    {"FDMc", K::Histograms, 2, true, false, ORVANE_FIELD(HistogramList, result.fdm.FDMc)},
    {"FDMtot", K::Scalars, 2, true, false, ORVANE_FIELD(Vec, result.fdm.FDMtot)},
    {"GDMi", K::Columns, 2, true, false, ORVANE_FIELD(SetList, result.gdm.GDMi)},
    {"GDMc", K::Histograms, 2, true, false, ORVANE_FIELD(HistogramList, result.gdm.GDMc)},
    {"GDMtot", K::Scalars, 2, true, false, ORVANE_FIELD(Vec, result.gdm.GDMtot)},
    {"Alpha_ADM", K::Scalars, 2, true, false, ORVANE_FIELD(Vec, result.adm.Alpha_ADM)},

    {"DC_data", K::Columns, 3, true, false, ORVANE_FIELD(SetList, result.DC_data)},
    {"N_DATA", K::Number, 3, false, false, ORVANE_FIELD(std::size_t, result.N_DATA)},
    {"S_MARKER", K::Text, 3, false, false, ORVANE_FIELD(std::string, S_MARKER)},
    {"Kadm", K::Scalars, 3, true, false, ORVANE_FIELD(Vec, result.Kadm)},
    {"Kfdm", K::Scalars, 3, true, false, ORVANE_FIELD(Vec, result.Kfdm)},
    // Which set the others were compared with in place of the average (1-based).
    {"Reference", K::Number, 3, false, false, ORVANE_FIELD(std::size_t, result.reference), true},
    // How the common grid was made, when not at the finest spacing of the inputs.
    {"GridKind", K::Text, 3, false, false, ORVANE_FIELD(std::string, result.gridKind), true},
}};

#undef ORVANE_FIELD

bool omittedFromFile(const AnalysisVariable& v, const AnalysisFileSource& source)
{
    if (!v.omittedWhenUnset) return false;
    return std::visit(
        [&](const auto& field) {
            const auto& value = field.get(source);
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_arithmetic_v<T>)
                return value == 0;
            else
                return value.empty();
        },
        v.field);
}

}  // namespace orvane

// The variables of an analysis file (MagnitudeAnalysis.mat, PhaseAnalysis.mat and
// CombinedAnalysis.mat), in file order: what the writer writes, the loader reads back and
// the tests compare. One entry per variable; add a variable here and all three follow.
#pragma once

#include "analysis/analysis.h"

#include <array>
#include <cstddef>
#include <string>
#include <variant>

namespace orvane {

struct LoadedAnalysis;

// What the writer takes the values from: the result and the session's D and S_MARKER.
struct AnalysisFileSource {
    int D;
    const std::string& S_MARKER;
    const AnalysisResult& result;
};

// How a variable is stored. A per-set list is a 1 × (N_DATA+1) cell array.
enum class AnalysisVariableKind {
    Number,      // 1 × 1 double
    Text,        // 1 × n char
    Column,      // L × 1 double
    Row,         // 1 × n double
    Columns,     // cells of column vectors
    Spectra,     // cells of complex column vectors
    Scalars,     // cells of 1 × 1 doubles
    Histograms,  // cells of kClasses × 1 doubles
    Triples,     // cells of 3 × 1 doubles
    Records,     // cells of 1 × 1 structs {value, range}
};

// Where a value lives: read for writing, written for loading.
template <class T>
struct AnalysisField {
    const T& (*get)(const AnalysisFileSource&);
    T& (*put)(LoadedAnalysis&);
};
using AnalysisFieldRef =
    std::variant<AnalysisField<int>, AnalysisField<std::size_t>, AnalysisField<std::string>, AnalysisField<Vec>,
                 AnalysisField<SetList>, AnalysisField<SpectrumList>, AnalysisField<HistogramList>,
                 AnalysisField<std::vector<Triple>>, AnalysisField<GradeList>>;

struct AnalysisVariable {
    const char* name;
    AnalysisVariableKind kind;
    int pass;         // the writing pass (1–3) that writes it; the passes keep matio's memory low
    bool perSet;      // holds N_DATA+1 entries
    bool gridLength;  // every entry holds one value per grid point
    AnalysisFieldRef field;
    // Left out of the file while it is 0 (a number) or empty (a text), so that files without
    // it stay as they were; a reader that finds none takes 0 or the empty text.
    bool omittedWhenUnset = false;
};

inline constexpr std::size_t kAnalysisVariableCount = 37;

// True when `v` is left out of a file written from `source`.
bool omittedFromFile(const AnalysisVariable& v, const AnalysisFileSource& source);
extern const std::array<AnalysisVariable, kAnalysisVariableCount> kAnalysisVariables;

}  // namespace orvane

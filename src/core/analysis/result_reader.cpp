// ResultFile: typed, checked reads of result MAT-files through matio.
#include "formats/mat_io.h"
#include "analysis/result_files.h"
#include "analysis/session.h"

#include <matio.h>

#include <cmath>
#include <cstring>
#include <mutex>

namespace orvane {

namespace {

using namespace matfile;

GradeRecord structRecord(const matvar_t* v, std::size_t index, const Where& w)
{
    const auto field = [&](const char* name) {
        const matvar_t* f = structField(v, index, name, w);
        if (!f) w.fail(Kind::WrongShape, std::string("has no field \"") + name + "\"");
        return f;
    };
    GradeRecord r;
    const matvar_t* value = field("value");
    const matvar_t* range = field("range");
    r.value = realScalar(value, w.field("value"));
    r.range = charRow(range, w.field("range"));
    return r;
}

}  // namespace

struct ResultFile::Impl {
    explicit Impl(const std::string& path) : file(path) {}
    matfile::Reader file;
};

ResultFile::ResultFile(std::filesystem::path path)
    : path_(path.string()), impl_(std::make_unique<Impl>(path_))
{
}
ResultFile::~ResultFile() = default;
ResultFile::ResultFile(ResultFile&&) noexcept = default;
ResultFile& ResultFile::operator=(ResultFile&&) noexcept = default;

bool ResultFile::has(const std::string& name) const
{
    return impl_->file.has(name);
}

double ResultFile::scalar(const std::string& name) const
{
    const VarPtr v = impl_->file.read(name);
    return realScalar(v.get(), {path_, name, ""});
}

std::string ResultFile::text(const std::string& name) const
{
    const VarPtr v = impl_->file.read(name);
    return charRow(v.get(), {path_, name, ""});
}

Vec ResultFile::column(const std::string& name, std::optional<std::size_t> length) const
{
    const VarPtr v = impl_->file.read(name);
    return realVector(v.get(), {path_, name, ""}, length, "a column of numbers");
}

Vec ResultFile::row(const std::string& name, std::optional<std::size_t> length) const
{
    const VarPtr v = impl_->file.read(name);
    return realVector(v.get(), {path_, name, ""}, length, "a row of numbers");
}

SetList ResultFile::columns(const std::string& name, std::optional<std::size_t> count,
                            std::optional<std::size_t> length) const
{
    const VarPtr v = impl_->file.read(name);
    const Where w{path_, name, ""};
    const auto cells = cellEntries(v.get(), w, count);
    SetList out;
    out.reserve(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k)
        out.push_back(realVector(cells[k], w.at(k), length, "a column of numbers"));
    return out;
}

SpectrumList ResultFile::spectra(const std::string& name, std::optional<std::size_t> count,
                                 std::optional<std::size_t> length) const
{
    const VarPtr v = impl_->file.read(name);
    const Where w{path_, name, ""};
    const auto cells = cellEntries(v.get(), w, count);
    SpectrumList out;
    out.reserve(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) out.push_back(complexVector(cells[k], w.at(k), length));
    return out;
}

Vec ResultFile::scalars(const std::string& name, std::optional<std::size_t> count) const
{
    const VarPtr v = impl_->file.read(name);
    const Where w{path_, name, ""};
    if (v->class_type != MAT_C_CELL) return realVector(v.get(), w, count, "a cell array of numbers");
    const auto cells = cellEntries(v.get(), w, count);
    Vec out(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) out[k] = realScalar(cells[k], w.at(k));
    return out;
}

HistogramList ResultFile::histograms(const std::string& name, std::optional<std::size_t> count) const
{
    const VarPtr v = impl_->file.read(name);
    const Where w{path_, name, ""};
    const auto cells = cellEntries(v.get(), w, count);
    HistogramList out(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const Vec h = realVector(cells[k], w.at(k), kClasses, "a column of 6 class fractions");
        std::copy(h.begin(), h.end(), out[k].begin());
    }
    return out;
}

std::vector<Triple> ResultFile::triples(const std::string& name, std::optional<std::size_t> count) const
{
    const VarPtr v = impl_->file.read(name);
    const Where w{path_, name, ""};
    const auto cells = cellEntries(v.get(), w, count);
    std::vector<Triple> out(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const Vec t = realVector(cells[k], w.at(k), 3, "a column of 3 numbers");
        std::copy(t.begin(), t.end(), out[k].begin());
    }
    return out;
}

GradeList ResultFile::records(const std::string& name, std::optional<std::size_t> count) const
{
    const VarPtr v = impl_->file.read(name);
    const Where w{path_, name, ""};
    GradeList out;
    if (v->class_type == MAT_C_STRUCT) {
        const std::size_t n = elementCount(v.get(), w);
        if (!vectorShaped(v.get(), n)) w.fail(Kind::WrongShape, "is " + describe(v.get()) + ", expected one row");
        if (count && n != *count)
            w.fail(Kind::WrongShape, "has " + std::to_string(n) + " entries, expected " + std::to_string(*count));
        for (std::size_t k = 0; k < n; ++k) out.push_back(structRecord(v.get(), k, w.at(k)));
        return out;
    }
    const auto cells = cellEntries(v.get(), w, count);
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const Where at = w.at(k);
        const matvar_t* s = cells[k];
        if (s->class_type != MAT_C_STRUCT)
            at.fail(Kind::WrongClass, "is " + describe(s) + ", expected a struct with fields value and range");
        if (elementCount(s, at) != 1) at.fail(Kind::WrongShape, "is " + describe(s) + ", expected a 1×1 struct");
        out.push_back(structRecord(s, 0, at));
    }
    return out;
}

int ResultFile::domain() const
{
    const double D = scalar("D");
    if (D != 0 && D != 1) throw ResultFileError(Kind::WrongValue, path_, "D", "is not 0 (frequency) or 1 (time)");
    return static_cast<int>(D);
}

std::size_t ResultFile::dataSets() const
{
    const double n = scalar("N_DATA");
    if (!(n >= 2 && n <= static_cast<double>(kDataSlots)) || n != std::floor(n))
        throw ResultFileError(Kind::WrongValue, path_, "N_DATA",
                              "is not a whole number of data sets from 2 to " + std::to_string(kDataSlots));
    return static_cast<std::size_t>(n);
}

std::size_t ResultFile::referenceSet(std::size_t N_DATA) const
{
    // Files written before a reference could be chosen compared with the average.
    if (!has("Reference")) return 0;
    const double k = scalar("Reference");
    if (!(k >= 0 && k <= static_cast<double>(N_DATA)) || k != std::floor(k))
        throw ResultFileError(Kind::WrongValue, path_, "Reference",
                              "is not 0 (the average) or a data set from 1 to " + std::to_string(N_DATA));
    return static_cast<std::size_t>(k);
}

}  // namespace orvane

// ResultFile: typed, checked reads of result MAT-files through matio.
#include "app/result_files.h"
#include "app/result_scan.h"
#include "app/session.h"

#include <matio.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

using Kind = ResultFileError::Kind;

struct VarFree {
    void operator()(matvar_t* v) const { Mat_VarFree(v); }
};
using VarPtr = std::unique_ptr<matvar_t, VarFree>;

// Where a read is: file, variable, and the entry inside the variable ("entry 2", "entry 2
// field range"), for the messages.
struct Where {
    const std::string& file;
    const std::string& variable;
    std::string entry;

    [[noreturn]] void fail(Kind kind, const std::string& what) const
    {
        throw ResultFileError(kind, file, variable, entry.empty() ? what : entry + " " + what);
    }
    Where at(std::size_t k) const
    {
        return {file, variable, (entry.empty() ? "" : entry + " ") + "entry " + std::to_string(k + 1)};
    }
    Where field(const char* name) const { return {file, variable, entry + " field " + name}; }
};

bool isNumeric(matio_classes c)
{
    return c >= MAT_C_DOUBLE && c <= MAT_C_UINT64;
}

const char* className(matio_classes c)
{
    switch (c) {
    case MAT_C_CELL: return "cell";
    case MAT_C_STRUCT: return "struct";
    case MAT_C_CHAR: return "char";
    case MAT_C_DOUBLE: return "double";
    case MAT_C_SINGLE: return "single";
    case MAT_C_INT8: return "int8";
    case MAT_C_UINT8: return "uint8";
    case MAT_C_INT16: return "int16";
    case MAT_C_UINT16: return "uint16";
    case MAT_C_INT32: return "int32";
    case MAT_C_UINT32: return "uint32";
    case MAT_C_INT64: return "int64";
    case MAT_C_UINT64: return "uint64";
    default: return "unsupported";
    }
}

std::string dimsText(const matvar_t* v)
{
    if (v->rank < 1 || !v->dims) return "?";
    std::string s;
    for (int i = 0; i < v->rank; ++i) s += (i ? "×" : "") + std::to_string(v->dims[i]);
    return s;
}

// "a 64×1 double array", "a 1×3 cell array"
std::string describe(const matvar_t* v)
{
    return "a " + dimsText(v) + " " + className(v->class_type) + (v->isComplex ? " complex" : "") + " array";
}

std::size_t elementCount(const matvar_t* v, const Where& w)
{
    if (v->rank < 1 || v->rank > 32 || !v->dims) w.fail(Kind::Damaged, "has no valid dimensions");
    std::size_t n = 1;
    for (int i = 0; i < v->rank; ++i) {
        const std::size_t d = v->dims[i];
        if (d != 0 && n > std::numeric_limits<std::size_t>::max() / d) w.fail(Kind::Damaged, "has invalid dimensions");
        n *= d;
    }
    return n;
}

// At most one dimension other than 1: a row, a column or an empty array.
bool vectorShaped(const matvar_t* v, std::size_t n)
{
    if (n == 0) return true;
    int long_dims = 0;
    for (int i = 0; i < v->rank; ++i) long_dims += v->dims[i] != 1;
    return long_dims <= 1;
}

// The data of n elements of `each` bytes is there.
void requireData(const matvar_t* v, std::size_t n, std::size_t each, const Where& w)
{
    if (n == 0) return;
    if (!v->data || v->nbytes / each < n) w.fail(Kind::Damaged, "holds less data than its dimensions claim");
}

template <class T>
void convertFrom(const void* p, std::size_t n, double* out)
{
    const T* in = static_cast<const T*>(p);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<double>(in[i]);
}

void toDouble(matio_classes c, const void* p, std::size_t n, double* out)
{
    switch (c) {
    case MAT_C_DOUBLE: if (n) std::memcpy(out, p, n * sizeof(double)); break;
    case MAT_C_SINGLE: convertFrom<float>(p, n, out); break;
    case MAT_C_INT8: convertFrom<std::int8_t>(p, n, out); break;
    case MAT_C_UINT8: convertFrom<std::uint8_t>(p, n, out); break;
    case MAT_C_INT16: convertFrom<std::int16_t>(p, n, out); break;
    case MAT_C_UINT16: convertFrom<std::uint16_t>(p, n, out); break;
    case MAT_C_INT32: convertFrom<std::int32_t>(p, n, out); break;
    case MAT_C_UINT32: convertFrom<std::uint32_t>(p, n, out); break;
    case MAT_C_INT64: convertFrom<std::int64_t>(p, n, out); break;
    case MAT_C_UINT64: convertFrom<std::uint64_t>(p, n, out); break;
    default: break;
    }
}

// Element size of a numeric class, checked against what matio says it holds.
std::size_t numericElementSize(const matvar_t* v, const Where& w)
{
    const std::size_t size = Mat_SizeOfClass(v->class_type);
    if (size == 0 || v->data_size != static_cast<int>(size)) w.fail(Kind::Damaged, "holds data of the wrong size");
    return size;
}

void requireNumeric(const matvar_t* v, const Where& w, const char* expected)
{
    if (!isNumeric(v->class_type)) w.fail(Kind::WrongClass, "is " + describe(v) + ", expected " + expected);
}

// A real vector of any orientation.
Vec realVector(const matvar_t* v, const Where& w, std::optional<std::size_t> length, const char* expected)
{
    requireNumeric(v, w, expected);
    if (v->isComplex) w.fail(Kind::WrongClass, "holds complex numbers, expected real ones");
    const std::size_t n = elementCount(v, w);
    if (!vectorShaped(v, n)) w.fail(Kind::WrongShape, "is " + describe(v) + ", expected " + expected);
    if (length && n != *length)
        w.fail(Kind::WrongShape, "holds " + std::to_string(n) + " values, expected " + std::to_string(*length));
    const std::size_t size = numericElementSize(v, w);
    requireData(v, n, size, w);
    Vec out(n);
    toDouble(v->class_type, v->data, n, out.data());
    return out;
}

CVec complexVector(const matvar_t* v, const Where& w, std::optional<std::size_t> length)
{
    requireNumeric(v, w, "a column of complex numbers");
    const std::size_t n = elementCount(v, w);
    if (!vectorShaped(v, n)) w.fail(Kind::WrongShape, "is " + describe(v) + ", expected a column");
    if (length && n != *length)
        w.fail(Kind::WrongShape, "holds " + std::to_string(n) + " values, expected " + std::to_string(*length));
    const std::size_t size = numericElementSize(v, w);
    CVec out(n);
    if (n == 0) return out;
    // Writers may store a spectrum without imaginary parts as real.
    std::vector<double> re(n), im(n, 0.0);
    if (v->isComplex) {
        const auto* split = static_cast<const mat_complex_split_t*>(v->data);
        if (!split || !split->Re || !split->Im || v->nbytes / size < n)
            w.fail(Kind::Damaged, "holds less data than its dimensions claim");
        toDouble(v->class_type, split->Re, n, re.data());
        toDouble(v->class_type, split->Im, n, im.data());
    } else {
        requireData(v, n, size, w);
        toDouble(v->class_type, v->data, n, re.data());
    }
    for (std::size_t i = 0; i < n; ++i) out[i] = Complex(re[i], im[i]);
    return out;
}

double realScalar(const matvar_t* v, const Where& w)
{
    requireNumeric(v, w, "a number");
    if (v->isComplex) w.fail(Kind::WrongClass, "is complex, expected a real number");
    const std::size_t n = elementCount(v, w);
    if (n != 1) w.fail(Kind::WrongShape, "is " + describe(v) + ", expected a single number");
    const std::size_t size = numericElementSize(v, w);
    requireData(v, 1, size, w);
    double out = 0;
    toDouble(v->class_type, v->data, 1, &out);
    return out;
}

void appendUtf8(std::string& s, std::uint32_t c)
{
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;  // a lone surrogate
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// One line of text, stored with 1-byte (UTF-8, uint8) or 2-byte (UTF-16) characters.
std::string charRow(const matvar_t* v, const Where& w)
{
    if (v->class_type != MAT_C_CHAR) w.fail(Kind::WrongClass, "is " + describe(v) + ", expected text");
    const std::size_t n = elementCount(v, w);
    if (n != 0 && (v->rank != 2 || v->dims[0] != 1))
        w.fail(Kind::WrongShape, "is " + describe(v) + ", expected one line of text");
    std::string out;
    if (n == 0) return out;
    const int unit = v->data_size;
    if (unit != 1 && unit != 2 && unit != 4) w.fail(Kind::Damaged, "holds characters of an unknown size");
    requireData(v, n, static_cast<std::size_t>(unit), w);
    if (unit == 1) return std::string(static_cast<const char*>(v->data), n);
    out.reserve(n);
    if (unit == 2) {
        const auto* c = static_cast<const std::uint16_t*>(v->data);
        for (std::size_t i = 0; i < n; ++i) {
            std::uint32_t code = c[i];
            if (code >= 0xD800 && code <= 0xDBFF && i + 1 < n && c[i + 1] >= 0xDC00 && c[i + 1] <= 0xDFFF)
                code = 0x10000 + ((code - 0xD800) << 10) + (c[++i] - 0xDC00);
            appendUtf8(out, code);
        }
    } else {
        const auto* c = static_cast<const std::uint32_t*>(v->data);
        for (std::size_t i = 0; i < n; ++i) appendUtf8(out, c[i] > 0x10FFFF ? 0xFFFD : c[i]);
    }
    return out;
}

// The entries of a cell array stored as a row or a column.
std::span<matvar_t* const> cellEntries(const matvar_t* v, const Where& w, std::optional<std::size_t> count)
{
    if (v->class_type != MAT_C_CELL) w.fail(Kind::WrongClass, "is " + describe(v) + ", expected a cell array");
    const std::size_t n = elementCount(v, w);
    if (!vectorShaped(v, n)) w.fail(Kind::WrongShape, "is " + describe(v) + ", expected one row of cells");
    if (count && n != *count)
        w.fail(Kind::WrongShape, "has " + std::to_string(n) + " entries, expected " + std::to_string(*count));
    requireData(v, n, sizeof(matvar_t*), w);
    const auto cells = std::span<matvar_t* const>(static_cast<matvar_t* const*>(v->data), n);
    for (std::size_t k = 0; k < n; ++k)
        if (!cells[k]) w.at(k).fail(Kind::Damaged, "is missing from the cell array");
    return cells;
}

GradeRecord structRecord(const matvar_t* v, std::size_t index, const Where& w)
{
    const std::size_t n = elementCount(v, w);
    const std::size_t fields = Mat_VarGetNumberOfFields(const_cast<matvar_t*>(v));
    char* const* names = Mat_VarGetStructFieldnames(v);
    if (fields > 0 && !names) w.fail(Kind::Damaged, "has unreadable field names");
    if (fields != 0 && n > std::numeric_limits<std::size_t>::max() / fields) w.fail(Kind::Damaged, "is too large");
    // Reading fields through matio's own accessors trusts the dimensions; the data is
    // indexed here only after its size is known to hold every field of every element.
    requireData(v, n * fields, sizeof(matvar_t*), w);
    const auto* data = static_cast<matvar_t* const*>(v->data);
    const auto field = [&](const char* name) -> const matvar_t* {
        for (std::size_t j = 0; j < fields; ++j)
            if (names[j] && std::strcmp(names[j], name) == 0) {
                const matvar_t* f = data[index * fields + j];
                if (!f) w.field(name).fail(Kind::Damaged, "is missing");
                return f;
            }
        w.fail(Kind::WrongShape, std::string("has no field \"") + name + "\"");
    };
    GradeRecord r;
    const matvar_t* value = field("value");
    const matvar_t* range = field("range");
    r.value = realScalar(value, w.field("value"));
    r.range = charRow(range, w.field("range"));
    return r;
}

void quietMatio(int, char*) {}

}  // namespace

void matfile::silenceMatio()
{
    static std::once_flag once;
    std::call_once(once, [] { Mat_LogInitFunc("orvane", quietMatio); });
}

ResultFileError::ResultFileError(Kind kind, std::string path, std::string variable, const std::string& reason)
    : Error(path + ": " + (variable.empty() ? "" : variable + ": ") + reason),
      kind_(kind),
      path_(std::move(path)),
      variable_(std::move(variable))
{
}

struct ResultFile::Impl {
    int fd = -1;
    matfile::Layout layout;
    matfile::FileIndex index;
    mat_t* mat = nullptr;
    std::vector<std::optional<std::string>> problems;  // per variable, once checked: "" when sound

    ~Impl()
    {
        if (mat) Mat_Close(mat);
        if (fd >= 0) ::close(fd);
    }

    const std::string& problemOf(std::size_t i)
    {
        if (!problems[i]) problems[i] = matfile::checkVariable(layout, index.entries[i]);
        return *problems[i];
    }

    VarPtr read(const std::string& file, const std::string& name)
    {
        const std::size_t at = index.find(name);
        if (at == matfile::FileIndex::npos) {
            if (index.damage.empty()) throw ResultFileError(Kind::Missing, file, name, "missing from the file");
            throw ResultFileError(Kind::Damaged, file, name,
                                  "not found before the damage at byte " + std::to_string(index.damageOffset) + " (" +
                                      index.damage + ")");
        }
        if (const std::string& why = problemOf(at); !why.empty())
            throw ResultFileError(Kind::Damaged, file, name, "is damaged: " + why);
        // matio reads its way to the variable through all those before it.
        for (std::size_t i = 0; i < at; ++i)
            if (const std::string& why = problemOf(i); !why.empty())
                throw ResultFileError(Kind::Damaged, file, name,
                                      "cannot be read past the damaged variable " + shown(index.entries[i].name) +
                                          " before it: " + why);
        VarPtr v(Mat_VarRead(mat, name.c_str()));
        if (!v) throw ResultFileError(Kind::Damaged, file, name, "cannot be read");
        return v;
    }

    // A name from the file, fit for a message.
    static std::string shown(const std::string& name)
    {
        if (name.empty()) return "(unnamed)";
        std::string s;
        for (char c : name.substr(0, 63)) s += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
        return "\"" + s + "\"";
    }
};

ResultFile::ResultFile(std::filesystem::path path) : path_(path.string()), impl_(std::make_unique<Impl>())
{
    matfile::silenceMatio();
    const auto fail = [&](Kind kind, const std::string& why) { throw ResultFileError(kind, path_, "", why); };
    impl_->fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (impl_->fd < 0) fail(Kind::Unreadable, std::string("cannot be opened: ") + std::strerror(errno));
    struct stat own{};
    if (::fstat(impl_->fd, &own) != 0) fail(Kind::Unreadable, std::string("cannot be read: ") + std::strerror(errno));
    if (!S_ISREG(own.st_mode)) fail(Kind::Unreadable, "is not a file");
    impl_->layout.fd = impl_->fd;
    impl_->layout.size = static_cast<std::uint64_t>(own.st_size);
    if (const std::string why = matfile::headerProblem(impl_->layout); !why.empty()) fail(Kind::NotMatFile, why);
    impl_->index = matfile::indexFile(impl_->layout);
    impl_->problems.resize(impl_->index.entries.size());
    impl_->mat = Mat_Open(path_.c_str(), MAT_ACC_RDONLY);
    if (!impl_->mat) fail(Kind::NotMatFile, "cannot be read as a MAT-file");
    // matio opens by name: make sure it opened the file that was checked.
    struct stat named{};
    if (::stat(path_.c_str(), &named) != 0 || named.st_ino != own.st_ino || named.st_dev != own.st_dev ||
        named.st_size != own.st_size)
        fail(Kind::Unreadable, "was replaced while being opened");
}

ResultFile::~ResultFile() = default;
ResultFile::ResultFile(ResultFile&&) noexcept = default;
ResultFile& ResultFile::operator=(ResultFile&&) noexcept = default;

bool ResultFile::has(const std::string& name) const
{
    return impl_->index.find(name) != matfile::FileIndex::npos;
}

double ResultFile::scalar(const std::string& name) const
{
    const VarPtr v = impl_->read(path_, name);
    return realScalar(v.get(), {path_, name, ""});
}

std::string ResultFile::text(const std::string& name) const
{
    const VarPtr v = impl_->read(path_, name);
    return charRow(v.get(), {path_, name, ""});
}

Vec ResultFile::column(const std::string& name, std::optional<std::size_t> length) const
{
    const VarPtr v = impl_->read(path_, name);
    return realVector(v.get(), {path_, name, ""}, length, "a column of numbers");
}

Vec ResultFile::row(const std::string& name, std::optional<std::size_t> length) const
{
    const VarPtr v = impl_->read(path_, name);
    return realVector(v.get(), {path_, name, ""}, length, "a row of numbers");
}

SetList ResultFile::columns(const std::string& name, std::optional<std::size_t> count,
                            std::optional<std::size_t> length) const
{
    const VarPtr v = impl_->read(path_, name);
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
    const VarPtr v = impl_->read(path_, name);
    const Where w{path_, name, ""};
    const auto cells = cellEntries(v.get(), w, count);
    SpectrumList out;
    out.reserve(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) out.push_back(complexVector(cells[k], w.at(k), length));
    return out;
}

Vec ResultFile::scalars(const std::string& name, std::optional<std::size_t> count) const
{
    const VarPtr v = impl_->read(path_, name);
    const Where w{path_, name, ""};
    if (v->class_type != MAT_C_CELL) return realVector(v.get(), w, count, "a cell array of numbers");
    const auto cells = cellEntries(v.get(), w, count);
    Vec out(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k) out[k] = realScalar(cells[k], w.at(k));
    return out;
}

HistogramList ResultFile::histograms(const std::string& name, std::optional<std::size_t> count) const
{
    const VarPtr v = impl_->read(path_, name);
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
    const VarPtr v = impl_->read(path_, name);
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
    const VarPtr v = impl_->read(path_, name);
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

}  // namespace orvane

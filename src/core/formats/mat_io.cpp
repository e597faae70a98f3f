// The MAT-file plumbing shared by the result files and the figure files.
#include "formats/mat_io.h"

#include "base/system_error_text.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane::matfile {

namespace fs = std::filesystem;

void writeFailed(const fs::path& file, const std::string& why, const std::string& variable)
{
    throw ResultFileError(Kind::WriteFailed, file.string(), variable, why);
}

std::string systemReason(int err)
{
    return err ? std::string(": ") + systemErrorText(err) : std::string();
}

// ---- writing ---------------------------------------------------------------------------

// Our own messages for what the one atomic writer reports.
[[noreturn]] static void rethrowWriteFailure(const fs::path& file, const FileWriteError& e)
{
    const char* what = e.step() == FileWriteError::Step::Replace ? "cannot be replaced" : "cannot be written";
    writeFailed(file, what + systemReason(e.systemError()));
}

Writer::Writer(const fs::path& folder, const std::string& name, Compression compression)
    : final_(folder / name), compression_(compression)
{
    matfile::silenceMatio();
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) writeFailed(final_, "cannot be written: the folder does not exist");
    if (fs::is_directory(final_, ec)) writeFailed(final_, "cannot be written: a folder of that name is in the way");
    try {
        temp_.emplace(final_);
    } catch (const FileWriteError& e) {
        rethrowWriteFailure(final_, e);
    }
}

namespace {

// The file's descriptive header text: what it is, and who wrote it when. (matio's default
// text would name another program.)
std::string headerText()
{
    const std::time_t now = std::time(nullptr);
    char when[32] = "";
    std::tm local{};
    if (localtime_r(&now, &local)) std::strftime(when, sizeof when, "%a %b %e %H:%M:%S %Y", &local);
    return std::string("Level-5 MAT-file, Created by: Orvane on ") + when;
}

}  // namespace

void Writer::write(std::vector<VarPtr>& vars)
{
    // matio opens by name; this name reaches our exclusive file through its descriptor.
    const std::string tmp = temp_->descriptorPath();
    errno = 0;
    mat_t* mat = created_ ? Mat_Open(tmp.c_str(), MAT_ACC_RDWR) : Mat_CreateVer(tmp.c_str(), headerText().c_str(), MAT_FT_MAT5);
    if (!mat) writeFailed(final_, "cannot be written" + systemReason(errno));
    created_ = true;
    for (const VarPtr& v : vars) {
        const std::string name = v->name;
        errno = 0;
        if (written_.count(name) && Mat_VarDelete(mat, name.c_str()) != 0) {
            const int err = errno;
            Mat_Close(mat);
            writeFailed(final_, "cannot be replaced" + systemReason(err), name);
        }
        const matio_compression how = compression_ == Compression::Zlib ? MAT_COMPRESSION_ZLIB : MAT_COMPRESSION_NONE;
        if (Mat_VarWrite(mat, v.get(), how) != 0) {
            const int err = errno;
            Mat_Close(mat);
            writeFailed(final_, "cannot be written" + systemReason(err), name);
        }
        written_.insert(name);
    }
    errno = 0;
    if (Mat_Close(mat) != 0) writeFailed(final_, "cannot be written" + systemReason(errno));
    vars.clear();
}

fs::path Writer::commit()
{
    checkWritten();
    try {
        temp_->commit();
    } catch (const FileWriteError& e) {
        rethrowWriteFailure(final_, e);
    }
    return final_;
}

void Writer::checkWritten() const
{
    const int fd = temp_->fd();
    struct stat st{};
    std::string why;
    if (::fstat(fd, &st) != 0) {
        why = "cannot be checked" + systemReason(errno);
    } else {
        matfile::Layout layout{fd, static_cast<std::uint64_t>(st.st_size), false};
        why = matfile::headerProblem(layout);
        if (why.empty()) {
            const matfile::FileIndex index = matfile::indexFile(layout);
            if (!index.damage.empty()) why = index.damage;
            for (const std::string& name : written_) {
                if (!why.empty()) break;
                const std::size_t at = index.find(name);
                why = at == matfile::FileIndex::npos ? name + " is missing"
                                                     : matfile::checkVariable(layout, index.entries[at]);
            }
        }
    }
    if (!why.empty()) writeFailed(final_, "was not written completely (is the disk full?): " + why);
}

// ---- reading ---------------------------------------------------------------------------

Reader::Reader(std::string path) : path_(std::move(path))
{
    silenceMatio();
    const auto fail = [&](Kind kind, const std::string& why) { throw ResultFileError(kind, path_, "", why); };
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) fail(Kind::Unreadable, std::string("cannot be opened: ") + std::strerror(errno));
    // The destructor does not run for a constructor that throws.
    struct Closer {
        Reader& r;
        bool armed = true;
        ~Closer()
        {
            if (!armed) return;
            if (r.mat_) Mat_Close(r.mat_);
            ::close(r.fd_);
        }
    } closer{*this};
    struct stat own{};
    if (::fstat(fd_, &own) != 0) fail(Kind::Unreadable, std::string("cannot be read: ") + std::strerror(errno));
    if (!S_ISREG(own.st_mode)) fail(Kind::Unreadable, "is not a file");
    layout_.fd = fd_;
    layout_.size = static_cast<std::uint64_t>(own.st_size);
    if (const std::string why = headerProblem(layout_); !why.empty()) fail(Kind::NotMatFile, why);
    index_ = indexFile(layout_);
    problems_.resize(index_.entries.size());
    mat_ = Mat_Open(path_.c_str(), MAT_ACC_RDONLY);
    if (!mat_) fail(Kind::NotMatFile, "cannot be read as a MAT-file");
    // matio opens by name: make sure it opened the file that was checked.
    struct stat named{};
    if (::stat(path_.c_str(), &named) != 0 || named.st_ino != own.st_ino || named.st_dev != own.st_dev ||
        named.st_size != own.st_size)
        fail(Kind::Unreadable, "was replaced while being opened");
    closer.armed = false;
}

Reader::~Reader()
{
    if (mat_) Mat_Close(mat_);
    if (fd_ >= 0) ::close(fd_);
}

bool Reader::has(const std::string& name) const
{
    return index_.find(name) != FileIndex::npos;
}

const std::string& Reader::problemOf(std::size_t i)
{
    if (!problems_[i]) problems_[i] = checkVariable(layout_, index_.entries[i]);
    return *problems_[i];
}

// A name from the file, fit for a message.
static std::string shown(const std::string& name)
{
    if (name.empty()) return "(unnamed)";
    std::string s;
    for (char c : name.substr(0, 63)) s += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    return "\"" + s + "\"";
}

VarPtr Reader::read(const std::string& name)
{
    const std::string& file = path_;
    const std::size_t at = index_.find(name);
    if (at == FileIndex::npos) {
        if (index_.damage.empty()) throw ResultFileError(Kind::Missing, file, name, "missing from the file");
        throw ResultFileError(Kind::Damaged, file, name,
                              "not found before the damage at byte " + std::to_string(index_.damageOffset) + " (" +
                                  index_.damage + ")");
    }
    if (const std::string& why = problemOf(at); !why.empty())
        throw ResultFileError(Kind::Damaged, file, name, "is damaged: " + why);
    // matio reads its way to the variable through all those before it.
    for (std::size_t i = 0; i < at; ++i)
        if (const std::string& why = problemOf(i); !why.empty())
            throw ResultFileError(Kind::Damaged, file, name,
                                  "cannot be read past the damaged variable " + shown(index_.entries[i].name) +
                                      " before it: " + why);
    VarPtr v(Mat_VarRead(mat_, name.c_str()));
    if (!v) throw ResultFileError(Kind::Damaged, file, name, "cannot be read");
    return v;
}

static bool isNumeric(matio_classes c)
{
    return c >= MAT_C_DOUBLE && c <= MAT_C_UINT64;
}

static const char* className(matio_classes c)
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

static std::string dimsText(const matvar_t* v)
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
static void requireData(const matvar_t* v, std::size_t n, std::size_t each, const Where& w)
{
    if (n == 0) return;
    if (!v->data || v->nbytes / each < n) w.fail(Kind::Damaged, "holds less data than its dimensions claim");
}

template <class T>
static void convertFrom(const void* p, std::size_t n, double* out)
{
    const T* in = static_cast<const T*>(p);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<double>(in[i]);
}

static void toDouble(matio_classes c, const void* p, std::size_t n, double* out)
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
static std::size_t numericElementSize(const matvar_t* v, const Where& w)
{
    const std::size_t size = Mat_SizeOfClass(v->class_type);
    if (size == 0 || v->data_size != static_cast<int>(size)) w.fail(Kind::Damaged, "holds data of the wrong size");
    return size;
}

static void requireNumeric(const matvar_t* v, const Where& w, const char* expected)
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

static void appendUtf8(std::string& s, std::uint32_t c)
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

const matvar_t* structField(const matvar_t* v, std::size_t index, const char* name, const Where& w)
{
    const std::size_t n = elementCount(v, w);
    const std::size_t fields = Mat_VarGetNumberOfFields(const_cast<matvar_t*>(v));
    char* const* names = Mat_VarGetStructFieldnames(v);
    if (fields > 0 && !names) w.fail(Kind::Damaged, "has unreadable field names");
    if (fields != 0 && n > std::numeric_limits<std::size_t>::max() / fields) w.fail(Kind::Damaged, "is too large");
    // matio's own accessors trust the dimensions; the data is indexed here only after its
    // size is known to hold every field of every element.
    requireData(v, n * fields, sizeof(matvar_t*), w);
    const auto* data = static_cast<matvar_t* const*>(v->data);
    for (std::size_t j = 0; j < fields; ++j)
        if (names[j] && std::strcmp(names[j], name) == 0) {
            const matvar_t* f = data[index * fields + j];
            if (!f) w.field(name).fail(Kind::Damaged, "is missing");
            return f;
        }
    return nullptr;
}

namespace {
void quietMatio(int, char*) {}
}  // namespace

void silenceMatio()
{
    static std::once_flag once;
    std::call_once(once, [] { Mat_LogInitFunc("orvane", quietMatio); });
}

}  // namespace orvane::matfile

// Figure files through matio. Each struct of the figure is described once, as a table of
// fields that both writes and reads it: a field added to Figure needs one row here.
#include "figures/figure_file.h"
#include "formats/mat_io.h"

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

namespace {

namespace fs = std::filesystem;
using namespace matfile;

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string utf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
        const unsigned char c = byte(i);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        char32_t code = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = extra >= 0 && i + extra < s.size() + (extra == 0);
        for (int k = 1; ok && k <= extra; ++k) {
            ok = (byte(i + k) & 0xC0) == 0x80;
            code = (code << 6) | (byte(i + k) & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += 1 + extra;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

// Builds the variables matio writes. Arrays of the figure are written in place
// (MAT_F_DONT_COPY_DATA); small values made here are kept here until the file is written.
class Builder {
public:
    explicit Builder(const fs::path& file) : file_(file) {}

    const fs::path& file() const { return file_; }

    VarPtr doubles(const double* data, std::size_t rows, std::size_t cols)
    {
        std::size_t dims[2] = {rows, cols};
        const double* values = rows * cols != 0 ? data : &kNothing;
        return made(Mat_VarCreate(nullptr, MAT_C_DOUBLE, MAT_T_DOUBLE, 2, dims, const_cast<double*>(values),
                                  MAT_F_DONT_COPY_DATA));
    }
    VarPtr empty() { return doubles(nullptr, 0, 0); }
    VarPtr column(const Vec& v) { return doubles(v.data(), v.size(), 1); }
    VarPtr number(double v) { return doubles(&numbers_.emplace_back(v), 1, 1); }
    VarPtr row(std::initializer_list<double> values)
    {
        std::vector<double>& kept = rows_.emplace_back(values);
        return doubles(kept.data(), 1, kept.size());
    }
    VarPtr colour(const Rgb& c) { return row({c.r, c.g, c.b}); }
    // ASCII is written in place (`s` must outlive the writing); anything else as UTF-16,
    // which MAT readers decode one character per element, unlike multi-byte UTF-8.
    VarPtr text(std::string_view s)
    {
        if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            std::size_t dims[2] = {1, s.size()};
            return made(Mat_VarCreate(nullptr, MAT_C_CHAR, MAT_T_UTF8, 2, dims,
                                      const_cast<char*>(s.empty() ? "" : s.data()), MAT_F_DONT_COPY_DATA));
        }
        std::u16string& units = units_.emplace_back(utf16(s));
        std::size_t dims[2] = {1, units.size()};
        return made(Mat_VarCreate(nullptr, MAT_C_CHAR, MAT_T_UTF16, 2, dims, units.data(), MAT_F_DONT_COPY_DATA));
    }
    VarPtr texts(const std::vector<std::string>& list)
    {
        std::vector<VarPtr> owned;
        owned.reserve(list.size());
        for (const std::string& s : list) owned.push_back(text(s));
        std::vector<matvar_t*> raw(list.size());
        for (std::size_t k = 0; k < list.size(); ++k) raw[k] = owned[k].get();
        std::size_t dims[2] = {list.empty() ? 0u : 1u, list.size()};
        // matio copies the array of cell pointers and owns the cells from here on.
        VarPtr cell = made(Mat_VarCreate(nullptr, MAT_C_CELL, MAT_T_CELL, 2, dims, raw.data(), 0));
        for (VarPtr& c : owned) c.release();
        return cell;
    }
    // An empty struct made here, its fields set by the caller.
    VarPtr structs(const char* name, std::size_t rows, std::size_t cols, const std::vector<const char*>& fields)
    {
        std::size_t dims[2] = {rows, cols};
        return made(Mat_VarCreateStruct2(name, 2, dims, fields.data()));
    }

private:
    static inline double kNothing = 0;  // a valid pointer for empty arrays

    VarPtr made(matvar_t* v)
    {
        if (!v) writeFailed(file_, "cannot be prepared for writing (out of memory)", "figure");
        return VarPtr(v);
    }

    fs::path file_;
    std::deque<double> numbers_;
    std::deque<std::vector<double>> rows_;
    std::deque<std::u16string> units_;
};

// A field of the struct that stores a T.
template <class T>
struct Field {
    const char* name;
    std::function<VarPtr(Builder&, const T&)> write;
    std::function<void(const matvar_t*, const Where&, T&)> read;
};
template <class T>
using Fields = std::vector<Field<T>>;

// What makes a read or written T unusable, beyond its fields one by one.
template <class T>
std::string problemOf(const T&)
{
    return {};
}
template <class T>
std::string unevenXY(const T& item)
{
    if (item.x.size() == item.y.size()) return {};
    return "has " + std::to_string(item.x.size()) + " x values but " + std::to_string(item.y.size()) + " y values";
}
std::string problemOf(const Line& l) { return unevenXY(l); }
std::string problemOf(const Polygon& p) { return unevenXY(p); }

Where fieldOf(const Where& w, const char* name) { return {w.file, w.variable + "." + name, ""}; }
Where elementOf(const Where& w, std::size_t k) { return {w.file, w.variable + "(" + std::to_string(k + 1) + ")", ""}; }

// ---- field kinds ------------------------------------------------------------------------

template <class T>
Field<T> textField(const char* name, std::string T::*m)
{
    return {name, [m](Builder& b, const T& t) { return b.text(t.*m); },
            [m](const matvar_t* v, const Where& w, T& t) { t.*m = charRow(v, w); }};
}

template <class T>
Field<T> numberField(const char* name, double T::*m)
{
    return {name, [m](Builder& b, const T& t) { return b.number(t.*m); },
            [m](const matvar_t* v, const Where& w, T& t) { t.*m = realScalar(v, w); }};
}

template <class T>
Field<T> flagField(const char* name, bool T::*m)
{
    return {name, [m](Builder& b, const T& t) { return b.number(t.*m ? 1 : 0); },
            [m](const matvar_t* v, const Where& w, T& t) {
                const double x = realScalar(v, w);
                if (x != 0 && x != 1) w.fail(Kind::WrongValue, "is neither 0 nor 1");
                t.*m = x == 1;
            }};
}

template <class T>
Field<T> columnField(const char* name, Vec T::*m)
{
    return {name, [m](Builder& b, const T& t) { return b.column(t.*m); },
            [m](const matvar_t* v, const Where& w, T& t) { t.*m = realVector(v, w, {}, "a column of numbers"); }};
}

Rgb readColour(const matvar_t* v, const Where& w)
{
    const Vec c = realVector(v, w, 3, "a 1×3 colour");
    return {c[0], c[1], c[2]};
}

// `length` values, or none for an unset value.
Vec optionalValues(const matvar_t* v, const Where& w, std::size_t length, const char* expected)
{
    Vec x = realVector(v, w, {}, expected);
    if (!x.empty() && x.size() != length)
        w.fail(Kind::WrongShape,
               "holds " + std::to_string(x.size()) + " values, expected " + std::to_string(length) + " or none");
    return x;
}

template <class T>
Field<T> colourField(const char* name, Rgb T::*m)
{
    return {name, [m](Builder& b, const T& t) { return b.colour(t.*m); },
            [m](const matvar_t* v, const Where& w, T& t) { t.*m = readColour(v, w); }};
}

template <class T>
Field<T> optionalColourField(const char* name, std::optional<Rgb> T::*m)
{
    return {name, [m](Builder& b, const T& t) { return (t.*m) ? b.colour(*(t.*m)) : b.empty(); },
            [m](const matvar_t* v, const Where& w, T& t) {
                const Vec c = optionalValues(v, w, 3, "a 1×3 colour, or empty");
                t.*m = c.empty() ? std::nullopt : std::optional<Rgb>(Rgb{c[0], c[1], c[2]});
            }};
}

template <class T>
Field<T> limitsField(const char* name, std::optional<std::array<double, 2>> T::*m)
{
    return {name,
            [m](Builder& b, const T& t) { return (t.*m) ? b.row({(t.*m)->at(0), (t.*m)->at(1)}) : b.empty(); },
            [m](const matvar_t* v, const Where& w, T& t) {
                const Vec x = optionalValues(v, w, 2, "a 1×2 range, or empty");
                t.*m = x.empty() ? std::nullopt : std::optional<std::array<double, 2>>({x[0], x[1]});
            }};
}

template <class T>
Field<T> textListField(const char* name, std::vector<std::string> T::*m)
{
    return {name, [m](Builder& b, const T& t) { return b.texts(t.*m); },
            [m](const matvar_t* v, const Where& w, T& t) {
                const auto cells = cellEntries(v, w, {});
                std::vector<std::string> out;
                out.reserve(cells.size());
                for (std::size_t k = 0; k < cells.size(); ++k)
                    out.push_back(charRow(cells[k], {w.file, w.variable + "{" + std::to_string(k + 1) + "}", ""}));
                t.*m = std::move(out);
            }};
}

// ---- structs ----------------------------------------------------------------------------

// A struct of `n` elements (1×n, 0×0 when empty, 1×1 when `single`) from items[0..n).
template <class E>
VarPtr writeStructs(Builder& b, const char* name, const E* items, std::size_t n, const Fields<E>& fields, bool single)
{
    std::vector<const char*> names;
    for (const Field<E>& f : fields) names.push_back(f.name);
    names.push_back(nullptr);
    VarPtr s = single ? b.structs(name, 1, 1, names) : b.structs(name, n ? 1 : 0, n, names);
    for (std::size_t k = 0; k < n; ++k) {
        if (const std::string why = problemOf(items[k]); !why.empty())
            writeFailed(b.file(), "cannot be written: element " + std::to_string(k + 1) + " " + why, "figure");
        for (std::size_t j = 0; j < fields.size(); ++j) {
            VarPtr v = fields[j].write(b, items[k]);
            // The struct owns its fields once they are set; it had none before.
            Mat_VarFree(Mat_VarSetStructFieldByIndex(s.get(), j, k, v.release()));
        }
    }
    return s;
}

template <class E>
void readElement(const matvar_t* s, std::size_t index, const Where& w, const Fields<E>& fields, E& out)
{
    for (const Field<E>& f : fields) {
        const matvar_t* v = structField(s, index, f.name, w);
        if (!v) w.fail(Kind::WrongShape, std::string("has no field \"") + f.name + "\"");
        f.read(v, fieldOf(w, f.name), out);
    }
    if (const std::string why = problemOf(out); !why.empty()) w.fail(Kind::WrongShape, why);
}

void requireStruct(const matvar_t* v, const Where& w, const char* expected)
{
    if (v->class_type != MAT_C_STRUCT) w.fail(Kind::WrongClass, "is " + describe(v) + ", expected " + expected);
}

template <class E>
E readSingle(const matvar_t* v, const Where& w, const Fields<E>& fields)
{
    requireStruct(v, w, "a 1×1 struct");
    if (elementCount(v, w) != 1) w.fail(Kind::WrongShape, "is " + describe(v) + ", expected a 1×1 struct");
    E out;
    readElement(v, 0, w, fields, out);
    return out;
}

template <class T, class E>
Field<T> singleStructField(const char* name, E T::*m, const Fields<E>& fields)
{
    return {name, [m, &fields](Builder& b, const T& t) { return writeStructs(b, nullptr, &(t.*m), 1, fields, true); },
            [m, &fields](const matvar_t* v, const Where& w, T& t) { t.*m = readSingle(v, w, fields); }};
}

template <class T, class E>
Field<T> structArrayField(const char* name, std::vector<E> T::*m, const Fields<E>& fields)
{
    return {name,
            [m, &fields](Builder& b, const T& t) {
                return writeStructs(b, nullptr, (t.*m).data(), (t.*m).size(), fields, false);
            },
            [m, &fields](const matvar_t* v, const Where& w, T& t) {
                requireStruct(v, w, "a struct array");
                const std::size_t n = elementCount(v, w);
                if (!vectorShaped(v, n)) w.fail(Kind::WrongShape, "is " + describe(v) + ", expected one row");
                std::vector<E> out(n);
                for (std::size_t k = 0; k < n; ++k) readElement(v, k, elementOf(w, k), fields, out[k]);
                t.*m = std::move(out);
            }};
}

// ---- the layout -------------------------------------------------------------------------

const Fields<Line> kLineFields = {
    columnField("x", &Line::x),
    columnField("y", &Line::y),
    textField("style", &Line::style),
    textField("linestyle", &Line::lineStyle),
    textField("marker", &Line::marker),
    colourField("color", &Line::colour),
    optionalColourField("markerface", &Line::markerFace),
    numberField("markersize", &Line::markerSize),
    numberField("linewidth", &Line::lineWidth),
};

const Fields<Polygon> kPolygonFields = {
    columnField("x", &Polygon::x),
    columnField("y", &Polygon::y),
    colourField("facecolor", &Polygon::face),
    colourField("edgecolor", &Polygon::edge),
};

const Fields<Text> kTextFields = {
    {"position", [](Builder& b, const Text& t) { return b.row({t.x, t.y}); },
     [](const matvar_t* v, const Where& w, Text& t) {
         const Vec p = realVector(v, w, 2, "a 1×2 position");
         t.x = p[0];
         t.y = p[1];
     }},
    textField("string", &Text::text),
    colourField("color", &Text::colour),
    numberField("fontsize", &Text::fontSize),
    numberField("rotation", &Text::rotation),
};

const Fields<Axes> kAxesFields = {
    textField("title", &Axes::title),
    textField("xlabel", &Axes::xLabel),
    textField("ylabel", &Axes::yLabel),
    textListField("legend", &Axes::legend),
    flagField("xgrid", &Axes::xGrid),
    flagField("ygrid", &Axes::yGrid),
    textField("gridstyle", &Axes::gridStyle),
    numberField("gridwidth", &Axes::gridWidth),
    limitsField("xlim", &Axes::xLimits),
    limitsField("ylim", &Axes::yLimits),
    structArrayField("lines", &Axes::lines, kLineFields),
    structArrayField("polygons", &Axes::polygons, kPolygonFields),
    structArrayField("texts", &Axes::texts, kTextFields),
};

const Fields<Figure> kFigureFields = {
    // First, so that a reader can tell our files apart before anything else.
    {"format", [](Builder& b, const Figure&) { return b.text(kFigureFormat); },
     [](const matvar_t* v, const Where& w, Figure&) {
         if (charRow(v, w) != kFigureFormat)
             w.fail(Kind::WrongValue, std::string("is not \"") + kFigureFormat + "\": not an Orvane figure file");
     }},
    textField("name", &Figure::name),
    textField("menubar", &Figure::menuBar),
    textField("toolbar", &Figure::toolBar),
    singleStructField("axes", &Figure::axes, kAxesFields),
};

}  // namespace

void writeFigureFile(const fs::path& path, const Figure& fig, matfile::Compression compression)
{
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    const std::string name = path.filename().string();
    Writer writer(folder, name, compression);
    Builder b(folder / name);
    std::vector<VarPtr> vars;
    vars.push_back(writeStructs(b, "figure", &fig, 1, kFigureFields, true));
    writer.write(vars);
    writer.commit();
}

Figure readFigureFile(const fs::path& path)
{
    Reader file(path.string());
    const VarPtr v = file.read("figure");
    return readSingle(v.get(), Where{file.path(), "figure", ""}, kFigureFields);
}

}  // namespace orvane

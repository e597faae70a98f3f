#include "python/inputs.h"

#include "formats/read_choice.h"

#include <pybind11/numpy.h>

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace py = pybind11;

namespace orvane::python {

namespace {

std::string number(double v)
{
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

std::string setName(std::size_t k) { return "data set " + std::to_string(k + 1); }

// One of x, y as doubles; refuses anything but a 1-D array of finite numbers.
Vec column(const py::handle& values, std::size_t k, const char* which)
{
    const std::string what = setName(k) + ": " + which;
    auto array = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!array) {
        PyErr_Clear();
        throw std::invalid_argument(what + " is not an array of numbers");
    }
    if (array.ndim() != 1) {
        std::string shape;
        for (py::ssize_t d = 0; d < array.ndim(); ++d) shape += (d ? ", " : "") + std::to_string(array.shape(d));
        throw std::invalid_argument(what + " must be one-dimensional, not of shape (" + shape + ")");
    }
    const double* data = array.data();
    for (py::ssize_t i = 0; i < array.shape(0); ++i)
        if (!std::isfinite(data[i]))
            throw std::invalid_argument(what + "[" + std::to_string(i) + "] is " + number(data[i]) +
                                        "; every value must be a finite number");
    return Vec(data, data + array.shape(0));
}

// As the file reader asks of a file: x never decreases, and the last sample does not repeat
// the abscissa before it.
void requireIncreasing(const Vec& x, std::size_t k)
{
    for (std::size_t i = 1; i < x.size(); ++i)
        if (x[i] < x[i - 1])
            throw std::invalid_argument(setName(k) + ": x decreases at index " + std::to_string(i) + " (" +
                                        number(x[i]) + " after " + number(x[i - 1]) + "); x must increase");
    if (x.size() >= 2 && x[x.size() - 1] == x[x.size() - 2])
        throw std::invalid_argument(setName(k) + ": the last x repeats the one before it (" + number(x.back()) + ")");
}

// A whole number as Python counts them (int, numpy integers), not a bool.
bool isWholeNumber(const py::handle& h)
{
    return !py::isinstance<py::bool_>(h) && PyIndex_Check(h.ptr());
}

bool isPath(const py::handle& h)
{
    return py::isinstance<py::str>(h) || py::hasattr(h, "__fspath__");
}

}  // namespace

std::vector<SetInput> setInputs(const py::handle& sets)
{
    if (py::isinstance<py::str>(sets) || py::isinstance<py::array>(sets) || !py::isinstance<py::sequence>(sets))
        throw std::invalid_argument("sets must be a list of (x, y) pairs or file paths");
    const py::sequence list = py::reinterpret_borrow<py::sequence>(sets);
    if (list.size() < 2 || list.size() > 8)
        throw std::invalid_argument("2 to 8 data sets are needed, not " + std::to_string(list.size()));
    std::vector<SetInput> inputs(list.size());
    for (std::size_t k = 0; k < list.size(); ++k) {
        const py::object entry = list[k];
        SetInput& input = inputs[k];
        if (py::isinstance<py::str>(entry)) {
            // As on the batch command's line: "meas.csv:columns=1,3" unless such a file exists.
            const FileArgument file = parseFileArgument(entry.cast<std::string>(), ReadOptions());
            input.path = file.path;
            input.options = file.options;
        } else if (isPath(entry)) {
            input.path = py::str(py::module_::import("os").attr("fspath")(entry)).cast<std::string>();
        } else if (py::isinstance<py::array>(entry) || !py::isinstance<py::sequence>(entry) || py::len(entry) != 2) {
            throw std::invalid_argument(setName(k) + " must be a file path or an (x, y) pair of 1-D arrays");
        } else {
            const py::sequence pair = py::reinterpret_borrow<py::sequence>(entry);
            input.x = column(pair[0], k, "x");
            input.y = column(pair[1], k, "y");
            if (input.x.size() != input.y.size())
                throw std::invalid_argument(setName(k) + ": x has " + std::to_string(input.x.size()) +
                                            " values and y " + std::to_string(input.y.size()) + "; they must match");
            if (input.x.empty()) throw std::invalid_argument(setName(k) + " holds no samples");
            requireIncreasing(input.x, k);
        }
    }
    return inputs;
}

ReadOptions readOptions(const py::dict& how)
{
    ReadOptions options;
    for (const auto& [key, value] : how) {
        const std::string name = key.cast<std::string>();
        if (name == "columns") {
            if (py::isinstance<py::str>(value)) {
                applyReadChoice(options, "columns", value.cast<std::string>());
            } else if (py::isinstance<py::sequence>(value) && py::len(value) == 2) {
                const py::sequence xy = py::reinterpret_borrow<py::sequence>(value);
                applyReadChoice(options, "columns",
                                py::str(xy[0]).cast<std::string>() + "," + py::str(xy[1]).cast<std::string>());
            } else {
                throw std::invalid_argument("columns takes (x, y) or \"X,Y\", by number from 1 or by column title");
            }
        } else if (name == "param" || name == "quantity" || name == "x_unit") {
            if (!py::isinstance<py::str>(value)) throw std::invalid_argument(name + " takes a text");
            applyReadChoice(options, name == "x_unit" ? "x-unit" : name, value.cast<std::string>());
        } else if (name == "merge_duplicates") {
            options.mergeDuplicates = py::bool_(value.cast<py::object>()).cast<bool>();
        } else {
            throw py::type_error("read() got an unexpected keyword argument '" + name +
                                 "' (columns, param, quantity, x_unit, merge_duplicates)");
        }
    }
    return options;
}

void applyDomain(AnalysisSettings& settings, const std::string& domain)
{
    if (domain == "time") {
        settings.D = 1, settings.T = 1;
    } else if (domain == "magnitude") {
        settings.D = 0, settings.T = 1;
    } else if (domain == "phase") {
        settings.D = 0, settings.T = 2;
    } else {
        throw std::invalid_argument("domain is \"time\", \"magnitude\" or \"phase\", not \"" + domain + "\"");
    }
}

void applyThreshold(AnalysisSettings& settings, double threshold)
{
    if (!(threshold >= 0 && threshold <= 100))
        throw std::invalid_argument("threshold must be a number from 0 to 100, not " + number(threshold));
    if (threshold == 0) threshold = 0;  // -0 is 0
    // The batch command's spelling: the shortest fixed-point text that reads back the same
    // number; it names the chart folder.
    char buf[160];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, threshold, std::chars_format::fixed);
    settings.thrs = std::string(buf, end);
}

void applyReference(AnalysisSettings& settings, const py::handle& reference, std::size_t sets)
{
    if (py::isinstance<py::str>(reference) && reference.cast<std::string>() == "average") {
        settings.reference = 0;
        return;
    }
    if (isWholeNumber(reference)) {
        const long long k = py::int_(py::reinterpret_borrow<py::object>(reference)).cast<long long>();
        if (k >= 1 && static_cast<std::size_t>(k) <= sets) {
            settings.reference = static_cast<std::size_t>(k);
            return;
        }
    }
    throw std::invalid_argument("reference is \"average\" or the number of a data set, 1 to " + std::to_string(sets) +
                                ", not " + py::repr(reference).cast<std::string>());
}

void applyGrid(AnalysisSettings& settings, const py::handle& grid)
{
    if (grid.is_none()) {
        settings.grid = AnalysisSettings::Grid::Finest;
        settings.gridPoints = 0;
        return;
    }
    const std::string usage = "grid is None, (\"uniform\", N) or (\"log\", N) with N ≥ 2 points, not " +
                              py::repr(grid).cast<std::string>();
    if (py::isinstance<py::str>(grid) || !py::isinstance<py::sequence>(grid) || py::len(grid) != 2)
        throw std::invalid_argument(usage);
    const py::sequence pair = py::reinterpret_borrow<py::sequence>(grid);
    const py::object kind = pair[0], points = pair[1];
    if (!py::isinstance<py::str>(kind) || !isWholeNumber(points)) throw std::invalid_argument(usage);
    const std::string name = kind.cast<std::string>();
    const long long n = py::int_(points).cast<long long>();
    if ((name != "uniform" && name != "log") || n < 2) throw std::invalid_argument(usage);
    if (static_cast<unsigned long long>(n) > settings.maxGridPoints)
        throw std::invalid_argument("grid of " + std::to_string(n) + " points: at most " +
                                    std::to_string(settings.maxGridPoints) + " are accepted");
    settings.grid = name == "uniform" ? AnalysisSettings::Grid::Uniform : AnalysisSettings::Grid::Logarithmic;
    settings.gridPoints = static_cast<std::size_t>(n);
}

}  // namespace orvane::python

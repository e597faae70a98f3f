// import orvane: the batch command's readers and the one analysis pipeline for Python.

#include "base/error.h"
#include "base/types.h"
#include "formats/data_set.h"
#include "python/analyse.h"
#include "python/inputs.h"
#include "python/result_object.h"
#include "python/views.h"

#include <pybind11/pybind11.h>

#include <filesystem>

namespace py = pybind11;
namespace fs = std::filesystem;

namespace orvane::python {

namespace {

PyObject* dataErrorType = nullptr;

// Raises orvane.DataError(message) with the file and line it is about (None and 0 when none).
void raiseDataError(const std::string& message, const std::string& path = {}, std::size_t line = 0)
{
    py::object error = py::reinterpret_borrow<py::object>(dataErrorType)(message);
    error.attr("path") = path.empty() ? py::object(py::none()) : py::str(path);
    error.attr("line") = line;
    PyErr_SetObject(dataErrorType, error.ptr());
}

// The project's errors with the batch command's messages.
void translateErrors(std::exception_ptr p)
{
    try {
        if (p) std::rethrow_exception(p);
    } catch (const ColumnCountError& e) {
        raiseDataError("Error Data Input: format wrong: " + std::string(e.what()), e.path(), e.line());
    } catch (const DataFileError& e) {
        raiseDataError(e.path() + (e.line() > 0 ? ":" + std::to_string(e.line()) : std::string()) + ": " + e.reason(),
                       e.path(), e.line());
    } catch (const Error& e) {
        raiseDataError(e.what());
    }
}

std::string pathText(const py::handle& path)
{
    if (!py::isinstance<py::str>(path) && !py::hasattr(path, "__fspath__"))
        throw std::invalid_argument("a path is a str or an os.PathLike, not " + py::repr(path).cast<std::string>());
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

py::tuple readFile(const py::object& path, const py::kwargs& how)
{
    const std::string file = fs::absolute(pathText(path)).string();
    const ReadOptions options = readOptions(how);
    DataSet set;
    {
        py::gil_scoped_release unlocked;
        set = readDataSet(file, options);
    }
    return py::make_tuple(adopt(std::move(set.abscissa)), adopt(std::move(set.ordinate)), reportDict(set.report));
}

ModuleResult analyseSets(const py::object& sets, const std::string& domain, double threshold, bool weighting,
                         const py::object& reference, const py::object& grid, const py::object& output)
{
    AnalysisRequest request;
    applyDomain(request.settings, domain);
    applyThreshold(request.settings, threshold);
    request.sets = setInputs(sets);
    applyReference(request.settings, reference, request.sets.size());
    applyGrid(request.settings, grid);
    request.weighting = weighting;
    if (!output.is_none()) request.output = fs::path(pathText(output));

    ModuleResult result{{}, domain, threshold, weighting};
    {
        py::gil_scoped_release unlocked;  // analyses in several threads run side by side
        result.outcome = analyse(std::move(request));
    }
    for (const std::string& warning : result.outcome.warnings)
        if (PyErr_WarnEx(PyExc_RuntimeWarning, warning.c_str(), 1) != 0) throw py::error_already_set();
    return result;
}

}  // namespace

}  // namespace orvane::python

PYBIND11_MODULE(orvane, m)
{
    using namespace orvane::python;
    m.doc() = R"doc(Feature Selective Validation of 2 to 8 data sets (ADM, FDM, GDM, grade and spread).

orvane.read(path, **how)        read one data file as orvane-batch reads it
orvane.analyse(sets, ...)       run the analysis; returns an orvane.Result
orvane.DataError                unusable data or a failed write, with the batch command's message)doc";

    dataErrorType = PyErr_NewExceptionWithDoc(
        "orvane.DataError",
        "Data that cannot be analysed, an unreadable file or a failed write. The message is the one "
        "orvane-batch prints; .path and .line name the file and line when the fault lies in one.",
        nullptr, nullptr);
    m.add_object("DataError", py::reinterpret_borrow<py::object>(dataErrorType));
    py::register_exception_translator(translateErrors);

    bindResult(m);

    m.def("read", &readFile, py::arg("path"), R"doc(read(path, **how) -> (x, y, report)

Reads one data file with the readers of orvane-batch: plain two-column text, text with more
columns, analyser exports (metadata lines, quoted fields, decimal comma, UTF-16) and
Touchstone 1.x / 2.0 files.

Keyword choices (as orvane-batch's options):
  columns=(1, 3) or "Freq,S21"   the x and y columns of a text file, by number from 1 or title
  param="S21"                    the parameter of a Touchstone file (S11 for one port)
  quantity="db"                  "db", "mag", "deg" or "deg-unwrapped"
  x_unit="MHz"                   Hz kHz MHz GHz s ms us ns ps, "header" or "none"
  merge_duplicates=True          samples with equal x become one with the mean y

Returns x and y as 1-D float arrays and a dict of what was found (format, columns, x unit and
scale, skipped metadata lines, Touchstone parameter, a one-line "summary", ...).
Raises orvane.DataError naming the file and line, ValueError for a bad choice.)doc");

    m.def("analyse", &analyseSets, py::arg("sets"), py::arg("domain") = "magnitude", py::arg("threshold") = 85.0,
          py::arg("weighting") = true, py::arg("reference") = "average", py::arg("grid") = py::none(),
          py::arg("output") = py::none(),
          R"doc(Rates the agreement of 2 to 8 data sets with the Feature Selective Validation method.

sets       list of 2 to 8 entries, each an (x, y) pair of 1-D array-likes of equal length
           (finite numbers, x not decreasing) or a file path (str or os.PathLike); a str path
           may carry orvane-batch's per-file choices: "vna.csv:columns=1,3".
domain     "time", "magnitude" or "phase" (the last two are frequency-domain analyses).
threshold  share of the points, in percent (0 to 100), for grade and spread.
weighting  weight the GDM by the spreads of ADM and FDM.
reference  "average" (the mean of the sets) or k, the 1-based number of the set every set is
           compared with.
grid       None (the finest spacing of the sets), ("uniform", N) or ("log", N) points.
output     a folder: the analysis sub-folder is made in it and filled exactly as orvane-batch
           fills it (MAT-files, text reports, figure files); None writes nothing.

The interpreter lock is released while the analysis runs, so analyses in several threads run
side by side. Raises ValueError for bad arguments and orvane.DataError (with orvane-batch's
message) for data that cannot be analysed or files that cannot be read or written.

Example:
    >>> import numpy as np, orvane
    >>> f = np.linspace(1e6, 1e9, 2000)
    >>> r = orvane.analyse([(f, np.sin(f / 4e7)), (f, np.sin(f / 4.1e7))])
    >>> r.gdm_grade[0], r.gdm_total[-1]      # set 1, then the reference (the average))doc");

    m.def("release_memory", &orvane::releasePooledArrays,
          R"doc(Gives back to the system the memory that analyses freed and the module keeps for the next
analysis (arrays of 64 KiB and more, up to a quarter of the machine's memory and 4 GiB at
most). Call it when a script holds no more results and goes on without analysing.)doc");
}

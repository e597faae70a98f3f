// numpy arrays over the library's own memory: no copies. A view keeps its owner (the
// Python object that holds the C++ result) alive through numpy's base reference, and is
// read-only, since the result it shows is shared by every view of it.
#pragma once

#include "base/types.h"
#include "method/classes.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

namespace orvane::python {

pybind11::array viewOf(const Vec& values, pybind11::handle owner);
pybind11::array viewOf(const CVec& values, pybind11::handle owner);
// One row of kClasses fractions per set.
pybind11::array viewOf(const HistogramList& histograms, pybind11::handle owner);
// One view per set, in the library's order (the reference set last).
pybind11::list viewsOf(const SetList& sets, pybind11::handle owner);
pybind11::list viewsOf(const SpectrumList& sets, pybind11::handle owner);

// An array that takes the vector over: it lives as long as the array does.
pybind11::array adopt(Vec&& values);

}  // namespace orvane::python

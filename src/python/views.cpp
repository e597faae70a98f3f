#include "python/views.h"

#include <memory>

namespace py = pybind11;

namespace orvane::python {

namespace {

static_assert(sizeof(Histogram) == kClasses * sizeof(double), "a histogram list is one block of doubles");

template <class T>
py::array readOnly(py::array_t<T> array)
{
    array.attr("setflags")(py::arg("write") = false);
    return array;
}

}  // namespace

py::array viewOf(const Vec& values, py::handle owner)
{
    return readOnly(py::array_t<double>({values.size()}, {sizeof(double)}, values.data(), owner));
}

py::array viewOf(const CVec& values, py::handle owner)
{
    return readOnly(py::array_t<Complex>({values.size()}, {sizeof(Complex)}, values.data(), owner));
}

py::array viewOf(const HistogramList& histograms, py::handle owner)
{
    const double* first = histograms.empty() ? nullptr : histograms.front().data();
    return readOnly(py::array_t<double>({histograms.size(), kClasses}, {sizeof(Histogram), sizeof(double)}, first, owner));
}

py::list viewsOf(const SetList& sets, py::handle owner)
{
    py::list views;
    for (const Vec& set : sets) views.append(viewOf(set, owner));
    return views;
}

py::list viewsOf(const SpectrumList& sets, py::handle owner)
{
    py::list views;
    for (const CVec& set : sets) views.append(viewOf(set, owner));
    return views;
}

py::array adopt(Vec&& values)
{
    auto* kept = new Vec(std::move(values));
    py::capsule owner(kept, [](void* p) { delete static_cast<Vec*>(p); });
    return py::array_t<double>({kept->size()}, {sizeof(double)}, kept->data(), owner);
}

}  // namespace orvane::python

// The array types of the numeric runtime. Columns are std::vector; per-set lists hold
// N_DATA+1 entries, entry k-1 belonging to data set k and the last one to the average set.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace orvane {

using Vec = std::vector<double>;
using Complex = std::complex<double>;
using CVec = std::vector<Complex>;
using SetList = std::vector<Vec>;
using SpectrumList = std::vector<CVec>;

// A dense double matrix stored row by row (the natural order of a text file).
struct Matrix {
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::vector<double> data;

    double& operator()(std::size_t r, std::size_t c) { return data[r * cols + c]; }
    double operator()(std::size_t r, std::size_t c) const { return data[r * cols + c]; }
    bool empty() const { return rows == 0 || cols == 0; }
    // Column c (0-based) as a vector.
    Vec column(std::size_t c) const;
};

}  // namespace orvane

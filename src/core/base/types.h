// The array types of the numeric runtime. Columns are std::vector; per-set lists hold
// N_DATA+1 entries, entry k-1 belonging to data set k and the last one to the average set.
#pragma once

#include <complex>
#include <cstddef>
#include <new>
#include <vector>

namespace orvane {

// Memory for the arrays: aligned on at least 64 bytes, so that the transforms run their
// SIMD code on our arrays directly; arrays of megabytes go on huge pages where the system
// offers them, which saves most of the cost of first touching fresh memory. Freed arrays
// of 64 KiB and more are kept for reuse (up to a quarter of the machine's memory, 4 GiB
// at most).
void* allocateArray(std::size_t bytes);
void freeArray(void* p, std::size_t bytes) noexcept;

// Gives the arrays kept for reuse back to the system, for a program that goes idle after
// a large analysis.
void releasePooledArrays();
// The bytes of the arrays kept for reuse.
std::size_t pooledArrayBytes();

template <class T>
struct AlignedAllocator {
    using value_type = T;

    AlignedAllocator() noexcept = default;
    template <class U>
    AlignedAllocator(const AlignedAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(allocateArray(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { freeArray(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const AlignedAllocator<U>&) const noexcept { return true; }
};

using Vec = std::vector<double, AlignedAllocator<double>>;
using Complex = std::complex<double>;
using CVec = std::vector<Complex, AlignedAllocator<Complex>>;
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

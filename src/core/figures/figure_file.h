// Figure files: a Figure saved as a Level 5 MAT-file, so that any MAT reader gets the
// plotted data back and Orvane can draw it again.
//
// The file holds one variable, `figure`, a 1×1 struct:
//   format "orvane-figure-1", name, menubar, toolbar (char), axes (1×1 struct):
//     title, xlabel, ylabel, gridstyle (char); legend (1×n cell of char);
//     xgrid, ygrid (0 or 1), gridwidth (double); xlim, ylim (1×2, 0×0 when not set);
//     lines, polygons, texts: 1×n struct arrays, 0×0 with the same fields when empty.
//   a line:    x, y (n×1), style, linestyle, marker (char), color (1×3),
//              markerface (1×3, 0×0 when not set), markersize, linewidth
//   a polygon: x, y (n×1), facecolor, edgecolor (1×3)
//   a text:    position (1×2), string (char, UTF-8), color (1×3), fontsize, rotation
// Empty lists are written 0×0; text is written as UTF-8.
#pragma once

#include "figures/figure.h"
#include "formats/mat_compression.h"

#include <filesystem>

namespace orvane {

inline constexpr const char* kFigureFormat = "orvane-figure-1";

// Writes `fig` as `path` (the caller adds ".fig"), under a temporary name renamed into
// place when complete. Throws ResultFileError (app/result_files.h) naming the file.
void writeFigureFile(const std::filesystem::path& path, const Figure& fig,
                     matfile::Compression compression = matfile::Compression::None);

// Reads a figure file back. Throws ResultFileError naming the file and the field
// ("figure.axes.lines(2).x") on anything missing, of the wrong class, shape or value, and
// on damaged files, which are checked before matio reads them.
Figure readFigureFile(const std::filesystem::path& path);

}  // namespace orvane

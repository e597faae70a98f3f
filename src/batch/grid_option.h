// orvane-batch --grid: "finest" (the default), "uniform:N" or "log:N".
#pragma once

#include "method/common_grid.h"

#include <string>
#include <string_view>

namespace orvane {

// The grid the option asks for; throws std::invalid_argument saying what is wrong.
GridChoice parseGridOption(std::string_view text);

// How to ask for a grid of `points` of `kind` on the command line: "--grid log:1601".
std::string gridOptionFor(GridKind kind, std::size_t points);

}  // namespace orvane

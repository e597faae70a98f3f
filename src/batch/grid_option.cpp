#include "batch/grid_option.h"

#include "batch/guard.h"

#include <stdexcept>

namespace orvane {

GridChoice parseGridOption(std::string_view text)
{
    if (text == "finest") return {};
    const std::size_t colon = text.find(':');
    const std::string_view kind = text.substr(0, colon);
    GridChoice choice;
    if (kind == "uniform")
        choice.kind = GridKind::Uniform;
    else if (kind == "log")
        choice.kind = GridKind::Logarithmic;
    else
        throw std::invalid_argument("must be finest, uniform:N or log:N (N points, e.g. log:1001)");
    if (colon == std::string_view::npos)
        throw std::invalid_argument("needs the number of points: " + std::string(kind) + ":N, e.g. " +
                                    std::string(kind) + ":1001");
    try {
        choice.points = parseMaxGrid(text.substr(colon + 1));
    } catch (const std::invalid_argument& e) {
        throw std::invalid_argument("points " + std::string(e.what()));
    }
    if (choice.points < 2) throw std::invalid_argument("points must be at least 2");
    return choice;
}

std::string gridOptionFor(GridKind kind, std::size_t points)
{
    return std::string("--grid ") + (kind == GridKind::Logarithmic ? "log:" : "uniform:") + std::to_string(points);
}

}  // namespace orvane

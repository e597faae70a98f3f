#include "figures/figure.h"

#include <algorithm>

namespace orvane {

Line styledLine(std::span<const double> x, std::span<const double> y, const std::string& style)
{
    Line line;
    const std::size_t n = std::min(x.size(), y.size());
    line.x.assign(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n));
    line.y.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n));
    applyStyle(line, style);
    return line;
}

char colourLetter(const std::string& S_MARKER, std::size_t k)
{
    if (k >= 1 && k <= S_MARKER.size() && colourOfLetter(S_MARKER[k - 1])) return S_MARKER[k - 1];
    return 'k';
}

std::optional<Rgb> colourOfLetter(char letter)
{
    switch (letter) {
    case 'r': return Rgb{1, 0, 0};
    case 'g': return Rgb{0, 1, 0};
    case 'b': return Rgb{0, 0, 1};
    case 'c': return Rgb{0, 1, 1};
    case 'm': return Rgb{1, 0, 1};
    case 'y': return Rgb{1, 1, 0};
    case 'k': return Rgb{0, 0, 0};
    case 'w': return Rgb{1, 1, 1};
    default: return std::nullopt;
    }
}

void applyStyle(Line& line, const std::string& style)
{
    line.style = style;
    std::string lineStyle, marker;
    for (std::size_t i = 0; i < style.size(); ++i) {
        const char c = style[i];
        if (auto colour = colourOfLetter(c)) {
            line.colour = *colour;
        } else if (c == '-') {
            if (i + 1 < style.size() && (style[i + 1] == '.' || style[i + 1] == '-')) {
                lineStyle = style.substr(i, 2);  // "-." or "--"
                ++i;
            } else {
                lineStyle = "-";
            }
        } else if (c == ':') {
            lineStyle = ":";
        } else if (c == '.' || c == 'o' || c == '*' || c == '+' || c == 'x' || c == 's' || c == 'd') {
            marker = std::string(1, c);
        }
    }
    // A marker without a line sign draws markers only; no sign at all draws a solid line.
    line.marker = marker.empty() ? "none" : marker;
    line.lineStyle = !lineStyle.empty() ? lineStyle : (marker.empty() ? "-" : "none");
}

}  // namespace orvane

#include "figures/svg_figure.h"

#include "base/markup.h"
#include "figures/axis_ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace orvane {

namespace {

constexpr double kLeft = 70, kRight = 18, kTop = 30, kBottom = 46;

std::string n(double v)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, std::round(v * 10) / 10).ptr;
    return std::string(text, end);
}

std::string hex(const Rgb& c)
{
    static const char digits[] = "0123456789abcdef";
    std::string out = "#";
    for (const double part : {c.r, c.g, c.b}) {
        const int v = static_cast<int>(std::lround(std::clamp(part, 0.0, 1.0) * 255));
        out += digits[v >> 4];
        out += digits[v & 15];
    }
    return out;
}

// Pure yellow strokes vanish on white paper; zones keep their colour.
std::string strokeColour(const Rgb& c) { return c == Rgb{1, 1, 0} ? "#c9a400" : hex(c); }

std::string dashes(const std::string& lineStyle)
{
    if (lineStyle == ":") return " stroke-dasharray=\"1.5 2.5\"";
    if (lineStyle == "-.") return " stroke-dasharray=\"7 3 1.5 3\"";
    if (lineStyle == "--") return " stroke-dasharray=\"7 4\"";
    return "";
}

// Text with "_{…}" subscripts as tspans.
std::string markedUp(const std::string& text)
{
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find("_{", at);
        const std::size_t close = open == std::string::npos ? open : text.find('}', open);
        if (close == std::string::npos) {
            out += escapeMarkup(std::string_view(text).substr(at));
            break;
        }
        out += escapeMarkup(std::string_view(text).substr(at, open - at));
        out += "<tspan baseline-shift=\"sub\" font-size=\"75%\">" +
               escapeMarkup(std::string_view(text).substr(open + 2, close - open - 2)) + "</tspan>";
        at = close + 1;
    }
    return out;
}

struct Range {
    double lo = std::numeric_limits<double>::infinity(), hi = -std::numeric_limits<double>::infinity();
    void take(double v)
    {
        if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
    }
    bool empty() const { return !(lo <= hi); }
};

// A range that can be drawn: an empty one becomes [0, 1], a single value gets room around it.
Range drawable(Range r, bool log)
{
    if (r.empty()) return log ? Range{1, 10} : Range{0, 1};
    if (r.hi > r.lo) return r;
    if (log) return {r.lo / 2, r.hi * 2};
    const double room = r.lo == 0 ? 1 : std::fabs(r.lo) / 2;
    return {r.lo - room, r.hi + room};
}

class Plot {
public:
    Plot(const Figure& fig, const SvgStyle& style) : fig_(fig), s_(style)
    {
        const Axes& ax = fig.axes;
        Range x, y;
        for (const Line& line : ax.lines) {
            for (double v : line.x)
                if (!s_.logX || v > 0) x.take(v);
            for (double v : line.y) y.take(v);
        }
        for (const Polygon& p : ax.polygons) {
            for (double v : p.x) x.take(v);
            for (double v : p.y) y.take(v);
        }
        if (ax.xLimits) x = {(*ax.xLimits)[0], (*ax.xLimits)[1]};
        x = drawable(x, s_.logX);
        if (ax.yLimits) {
            y = drawable({(*ax.yLimits)[0], (*ax.yLimits)[1]}, false);
        } else {
            y = drawable(y, false);
            if (ax.polygons.empty()) {  // a little air above and below the curves
                const double air = (y.hi - y.lo) * 0.04;
                y.lo -= air, y.hi += air;
            }
        }
        x_ = x, y_ = y;
        right_ = s_.width - kRight;
        bottom_ = s_.height - kBottom;
    }

    double px(double v) const
    {
        const double t = s_.logX ? (std::log10(v) - std::log10(x_.lo)) / (std::log10(x_.hi) - std::log10(x_.lo))
                                 : (v - x_.lo) / (x_.hi - x_.lo);
        return kLeft + t * (right_ - kLeft);
    }
    double py(double v) const { return bottom_ - (v - y_.lo) / (y_.hi - y_.lo) * (bottom_ - kTop); }

    std::string svg() const
    {
        const Axes& ax = fig_.axes;
        const std::string clip = s_.idPrefix + "-area";
        std::string o = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + n(s_.width) + " " + n(s_.height) +
                        "\" role=\"img\" aria-label=\"" + escapeMarkup(ax.title) + "\" class=\"plot\">";
        o += "<defs><clipPath id=\"" + clip + "\"><rect x=\"" + n(kLeft) + "\" y=\"" + n(kTop) + "\" width=\"" +
             n(right_ - kLeft) + "\" height=\"" + n(bottom_ - kTop) + "\"/></clipPath></defs>";
        o += "<rect x=\"0\" y=\"0\" width=\"" + n(s_.width) + "\" height=\"" + n(s_.height) + "\" fill=\"#fff\"/>";
        o += ticksAndGrid();
        o += "<g clip-path=\"url(#" + clip + ")\">";
        for (const Polygon& p : ax.polygons) o += polygon(p);
        for (const Line& line : ax.lines) o += this->line(line);
        o += "</g>";
        for (const Text& t : ax.texts) o += text(t);
        o += "<rect x=\"" + n(kLeft) + "\" y=\"" + n(kTop) + "\" width=\"" + n(right_ - kLeft) + "\" height=\"" +
             n(bottom_ - kTop) + "\" fill=\"none\" stroke=\"#333\" stroke-width=\"0.8\"/>";
        o += "<text x=\"" + n((kLeft + right_) / 2) + "\" y=\"19\" text-anchor=\"middle\" font-size=\"13\" "
             "font-weight=\"bold\">" + markedUp(ax.title) + "</text>";
        o += "<text x=\"" + n((kLeft + right_) / 2) + "\" y=\"" + n(s_.height - 8) +
             "\" text-anchor=\"middle\" font-size=\"12\">" + markedUp(axisTitle(ax.xLabel, s_.xUnit)) + "</text>";
        o += "<text transform=\"translate(14 " + n((kTop + bottom_) / 2) +
             ") rotate(-90)\" text-anchor=\"middle\" font-size=\"12\">" + markedUp(axisTitle(ax.yLabel, s_.yUnit)) +
             "</text>";
        if (s_.legend) o += legend();
        return o + "</svg>";
    }

private:
    static std::string axisTitle(const std::string& label, const std::string& unit)
    {
        return unit.empty() || label.empty() ? label : label + " (" + unit + ")";
    }

    std::string ticksAndGrid() const
    {
        const Axes& ax = fig_.axes;
        const std::vector<Tick> xt = !s_.xTicks.empty() ? s_.xTicks
                                     : s_.logX      ? logTicks(x_.lo, x_.hi, s_.xUnit)
                                                    : linearTicks(x_.lo, x_.hi, s_.xUnit);
        const std::vector<Tick> yt = linearTicks(y_.lo, y_.hi, s_.yUnit, 5);
        const std::string grid = "stroke=\"#c8c8c8\" stroke-width=\"0.6\"" + dashes(ax.gridStyle == ":" ? ":" : "-");
        std::string o = "<g font-size=\"10.5\" fill=\"#222\">";
        for (const Tick& t : xt) {
            const std::string x = n(px(t.value));
            if (ax.xGrid) o += "<line x1=\"" + x + "\" y1=\"" + n(kTop) + "\" x2=\"" + x + "\" y2=\"" + n(bottom_) + "\" " + grid + "/>";
            o += "<line x1=\"" + x + "\" y1=\"" + n(bottom_) + "\" x2=\"" + x + "\" y2=\"" + n(bottom_ + 4) + "\" stroke=\"#333\"/>";
            o += "<text x=\"" + x + "\" y=\"" + n(bottom_ + 15) + "\" text-anchor=\"middle\">" + escapeMarkup(t.label) + "</text>";
        }
        for (const Tick& t : yt) {
            const std::string y = n(py(t.value));
            if (ax.yGrid) o += "<line x1=\"" + n(kLeft) + "\" y1=\"" + y + "\" x2=\"" + n(right_) + "\" y2=\"" + y + "\" " + grid + "/>";
            o += "<line x1=\"" + n(kLeft - 4) + "\" y1=\"" + y + "\" x2=\"" + n(kLeft) + "\" y2=\"" + y + "\" stroke=\"#333\"/>";
            o += "<text x=\"" + n(kLeft - 6) + "\" y=\"" + n(py(t.value) + 3.5) + "\" text-anchor=\"end\">" +
                 escapeMarkup(t.label) + "</text>";
        }
        return o + "</g>";
    }

    std::string polygon(const Polygon& p) const
    {
        std::string points;
        for (std::size_t i = 0; i < std::min(p.x.size(), p.y.size()); ++i)
            points += n(px(p.x[i])) + "," + n(py(p.y[i])) + " ";
        return "<polygon points=\"" + points + "\" fill=\"" + hex(p.face) + "\" stroke=\"" + hex(p.edge) + "\"/>";
    }

    // The points to draw: all of them, or per pixel column the first, smallest, largest and
    // last, in their order.
    std::vector<std::pair<double, double>> screenPoints(const Line& line) const
    {
        std::vector<std::pair<double, double>> out;
        const std::size_t count = std::min(line.x.size(), line.y.size());
        const bool reduce = count > 4 * static_cast<std::size_t>(right_ - kLeft);
        long column = std::numeric_limits<long>::min();
        std::size_t first = 0, low = 0, high = 0, last = 0;
        auto flush = [&] {
            std::size_t picks[4] = {first, low, high, last};
            std::sort(picks, picks + 4);
            for (std::size_t i = 0; i < 4; ++i)
                if (i == 0 || picks[i] != picks[i - 1]) out.emplace_back(px(line.x[picks[i]]), py(line.y[picks[i]]));
        };
        for (std::size_t i = 0; i < count; ++i) {
            const double x = line.x[i], y = line.y[i];
            if (!std::isfinite(x) || !std::isfinite(y) || (s_.logX && x <= 0)) continue;
            if (!reduce) {
                out.emplace_back(px(x), py(y));
                continue;
            }
            const long c = std::lround(px(x) * 2);
            if (c != column) {
                if (column != std::numeric_limits<long>::min()) flush();
                column = c, first = low = high = last = i;
            } else {
                last = i;
                if (y < line.y[low]) low = i;
                if (y > line.y[high]) high = i;
            }
        }
        if (reduce && column != std::numeric_limits<long>::min()) flush();
        return out;
    }

    std::string marker(const Line& line, double x, double y) const
    {
        const std::string colour = strokeColour(line.colour);
        const std::string face = line.markerFace ? strokeColour(*line.markerFace) : "none";
        if (line.marker == ".") return "<circle cx=\"" + n(x) + "\" cy=\"" + n(y) + "\" r=\"1.6\" fill=\"" + colour + "\"/>";
        if (line.marker == "o")
            return "<circle cx=\"" + n(x) + "\" cy=\"" + n(y) + "\" r=\"" + n(line.markerSize * 0.45) + "\" fill=\"" + face +
                   "\" stroke=\"" + colour + "\"/>";
        if (line.marker == "*") {  // a five-pointed star with a dark rim, visible on every zone
            const double outer = line.markerSize * 0.5, inner = outer * 0.45;
            std::string points;
            for (int i = 0; i < 10; ++i) {
                const double a = -M_PI / 2 + i * M_PI / 5, r = i % 2 ? inner : outer;
                points += n(x + r * std::cos(a)) + "," + n(y + r * std::sin(a)) + " ";
            }
            return "<polygon points=\"" + points + "\" fill=\"" + colour + "\" stroke=\"#000\" stroke-width=\"0.8\"/>";
        }
        return "";
    }

    std::string line(const Line& line) const
    {
        const std::vector<std::pair<double, double>> pts = screenPoints(line);
        std::string o;
        if (line.lineStyle != "none" && pts.size() > 1) {
            o += "<polyline fill=\"none\" stroke=\"" + strokeColour(line.colour) + "\" stroke-width=\"" +
                 n(std::max(1.0, line.lineWidth * 2)) + "\"" + dashes(line.lineStyle) +
                 " stroke-linejoin=\"round\" points=\"";
            for (const auto& [x, y] : pts) o += n(x) + "," + n(y) + " ";
            o += "\"/>";
        }
        if (line.marker != "none")
            for (const auto& [x, y] : pts) o += marker(line, x, y);
        return o;
    }

    std::string text(const Text& t) const
    {
        if (!std::isfinite(t.x) || !std::isfinite(t.y) || (s_.logX && t.x <= 0)) return "";
        const std::string x = n(px(t.x)), y = n(py(t.y));
        std::string o = "<text x=\"" + x + "\" y=\"" + y + "\" font-size=\"" + n(t.fontSize * 0.85) + "\" fill=\"" +
                        strokeColour(t.colour) + "\" dominant-baseline=\"middle\"" +
                        // A light rim keeps dark text readable on the chart's blue and red zones.
                        " stroke=\"#fff\" stroke-width=\"2.5\" stroke-opacity=\"0.8\" paint-order=\"stroke\"";
        if (t.rotation != 0) o += " transform=\"rotate(" + n(-t.rotation) + " " + x + " " + y + ")\"";
        return o + ">" + markedUp(t.text) + "</text>";
    }

    std::string legend() const
    {
        const Axes& ax = fig_.axes;
        const std::size_t rows = std::min(ax.legend.size(), ax.lines.size());
        if (rows == 0) return "";
        std::size_t longest = 0;
        for (std::size_t i = 0; i < rows; ++i) longest = std::max(longest, ax.legend[i].size());
        const double w = 34 + 6.2 * static_cast<double>(longest), h = 6 + 15 * static_cast<double>(rows);
        const double x0 = right_ - w - 6, y0 = kTop + 6;
        std::string o = "<g font-size=\"11\"><rect x=\"" + n(x0) + "\" y=\"" + n(y0) + "\" width=\"" + n(w) +
                        "\" height=\"" + n(h) + "\" fill=\"#fff\" fill-opacity=\"0.9\" stroke=\"#999\" stroke-width=\"0.6\"/>";
        for (std::size_t i = 0; i < rows; ++i) {
            const Line& line = ax.lines[i];
            const double y = y0 + 11 + 15 * static_cast<double>(i);
            if (line.lineStyle != "none")
                o += "<line x1=\"" + n(x0 + 5) + "\" y1=\"" + n(y) + "\" x2=\"" + n(x0 + 27) + "\" y2=\"" + n(y) +
                     "\" stroke=\"" + strokeColour(line.colour) + "\" stroke-width=\"1.5\"" + dashes(line.lineStyle) + "/>";
            if (line.marker != "none") {
                Line small = line;
                small.markerSize = std::min(line.markerSize, 9.0);
                o += marker(small, x0 + 16, y);
            }
            o += "<text x=\"" + n(x0 + 31) + "\" y=\"" + n(y + 3.8) + "\">" + escapeMarkup(ax.legend[i]) + "</text>";
        }
        return o + "</g>";
    }

    const Figure& fig_;
    const SvgStyle& s_;
    Range x_, y_;
    double right_ = 0, bottom_ = 0;
};

}  // namespace

std::string svgOfFigure(const Figure& figure, const SvgStyle& style) { return Plot(figure, style).svg(); }

}  // namespace orvane

// Writes the sample figure as <folder>/sample.fig and what it holds as <folder>/dump.json,
// for the check that SciPy reads the figure file as written.
#include "figures/figure_file.h"
#include "core/figures/figure_file_sample.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

using namespace orvane;

std::string num(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string str(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

template <class Seq>
std::string nums(const Seq& s)
{
    std::string out = "[";
    for (std::size_t i = 0; i < s.size(); ++i) out += (i ? "," : "") + num(s[i]);
    return out + "]";
}

std::string rgb(const Rgb& c) { return nums(std::array<double, 3>{c.r, c.g, c.b}); }

template <class List, class Each>
std::string list(const List& l, Each each)
{
    std::string out = "[";
    for (std::size_t k = 0; k < l.size(); ++k) out += (k ? "," : "") + each(l[k]);
    return out + "]";
}

std::string dump(const Figure& f)
{
    const Axes& a = f.axes;
    const auto limits = [](const auto& l) { return l ? nums(*l) : std::string("null"); };
    std::string s = "{\"name\":" + str(f.name) + ",\"menubar\":" + str(f.menuBar) + ",\"toolbar\":" + str(f.toolBar);
    s += ",\"axes\":{\"title\":" + str(a.title) + ",\"xlabel\":" + str(a.xLabel) + ",\"ylabel\":" + str(a.yLabel);
    s += ",\"legend\":" + list(a.legend, str) + ",\"xgrid\":" + num(a.xGrid) + ",\"ygrid\":" + num(a.yGrid);
    s += ",\"gridstyle\":" + str(a.gridStyle) + ",\"gridwidth\":" + num(a.gridWidth);
    s += ",\"xlim\":" + limits(a.xLimits) + ",\"ylim\":" + limits(a.yLimits);
    s += ",\"lines\":" + list(a.lines, [](const Line& l) {
        return "{\"x\":" + nums(l.x) + ",\"y\":" + nums(l.y) + ",\"style\":" + str(l.style) +
               ",\"linestyle\":" + str(l.lineStyle) + ",\"marker\":" + str(l.marker) + ",\"color\":" + rgb(l.colour) +
               ",\"markerface\":" + (l.markerFace ? rgb(*l.markerFace) : "null") +
               ",\"markersize\":" + num(l.markerSize) + ",\"linewidth\":" + num(l.lineWidth) + "}";
    });
    s += ",\"polygons\":" + list(a.polygons, [](const Polygon& p) {
        return "{\"x\":" + nums(p.x) + ",\"y\":" + nums(p.y) + ",\"facecolor\":" + rgb(p.face) +
               ",\"edgecolor\":" + rgb(p.edge) + "}";
    });
    s += ",\"texts\":" + list(a.texts, [](const Text& t) {
        return "{\"position\":" + nums(std::array<double, 2>{t.x, t.y}) + ",\"string\":" + str(t.text) +
               ",\"color\":" + rgb(t.colour) + ",\"fontsize\":" + num(t.fontSize) +
               ",\"rotation\":" + num(t.rotation) + "}";
    });
    return s + "}}\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: figure_file_tool <folder>\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        const Figure fig = test::sampleFigure();
        writeFigureFile(folder / "sample.fig", fig);
        std::ofstream(folder / "dump.json") << dump(fig);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}

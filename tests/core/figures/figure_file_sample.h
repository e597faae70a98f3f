// A figure that uses every part of the figure file: shared by the round-trip test and the
// helper that writes a file for SciPy.
#pragma once

#include "figures/figure.h"

#include <cmath>

namespace orvane::test {

inline Vec ramp(std::size_t n, double scale, double offset = 0)
{
    Vec v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = offset + scale * std::sin(0.37 * static_cast<double>(i)) + 1e-3 * i;
    return v;
}

inline Figure sampleFigure()
{
    Figure fig;
    fig.name = "ADM point by point";
    fig.menuBar = "none";
    fig.toolBar = "";
    Axes& a = fig.axes;
    a.title = "";  // empty on purpose
    a.xLabel = "Frequency (Hz)";
    a.yLabel = "ADM_{i} in µs – Ω";
    a.legend = {"Data 1", "Data 2", "Average", "unused entry"};
    a.xGrid = true;
    a.yGrid = false;
    a.gridStyle = ":";
    a.gridWidth = 0.75;
    a.xLimits = std::array<double, 2>{-1.5, 2e9};

    Line solid;
    solid.x = ramp(37, 1.0);
    solid.y = ramp(37, 3.0, -2);
    applyStyle(solid, "r:");
    solid.lineWidth = 2;
    Line marked;
    marked.x = ramp(5, 10.0);
    marked.y = ramp(5, -1.0);
    applyStyle(marked, "o");
    marked.markerFace = Rgb{0.25, 0.5, 1};
    marked.markerSize = 4.5;
    Line empty;  // no points at all
    empty.style = "";
    a.lines = {solid, marked, empty};

    Polygon band;
    band.x = {0, 1, 1, 0};
    band.y = {0, 0, 0.5, 0.5};
    band.face = {0.9, 0.9, 0.6};
    band.edge = {0, 0, 0};
    a.polygons = {band};

    Text label;
    label.x = 0.5;
    label.y = 0.25;
    label.text = "GRADE_{adm} = 2";
    label.colour = {0.5, 0, 0.5};
    label.fontSize = 8;
    label.rotation = 90;
    Text plain;
    plain.x = -3;
    plain.y = 1e-7;
    plain.text = "";
    plain.rotation = -12.5;
    a.texts = {label, plain};
    return fig;
}

}  // namespace orvane::test

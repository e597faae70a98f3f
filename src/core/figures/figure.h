// A figure described completely and without any window system: what the computation
// builds, what a figure file stores, and what a renderer draws.
#pragma once

#include "base/types.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvane {

struct Rgb {
    double r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The colour of a colour letter: r g b c m y k w. Nothing for any other character.
std::optional<Rgb> colourOfLetter(char letter);

// The colour letter of data set k (1-based) in S_MARKER; black when S_MARKER has none for it.
char colourLetter(const std::string& S_MARKER, std::size_t k);

// A line or marker series. `style` keeps the style text it came from ("r:", ".-k", "o").
struct Line {
    Vec x, y;
    std::string style;
    Rgb colour{0, 0, 1};
    std::string lineStyle = "-";  // "-", ":", "-.", "--", or "none"
    std::string marker = "none";  // ".", "o", "*", or "none"
    double markerSize = 6;
    std::optional<Rgb> markerFace;  // filled markers
    double lineWidth = 0.5;
    bool operator==(const Line&) const = default;
};

// Splits a style text into colour, line style and marker ("r:" red dotted, ".-k" black
// solid with points, "o" circles only). Unknown characters are ignored.
void applyStyle(Line& line, const std::string& style);

// A line through the points (x, y), as many as the shorter of the two, in a style text.
Line styledLine(std::span<const double> x, std::span<const double> y, const std::string& style);

// A filled polygon.
struct Polygon {
    Vec x, y;
    Rgb face, edge;
    bool operator==(const Polygon&) const = default;
};

// Text at a data point. "_{…}" in the text is subscript markup.
struct Text {
    double x = 0, y = 0;
    std::string text;
    Rgb colour;
    double fontSize = 10;
    double rotation = 0;  // degrees, counter-clockwise
    bool operator==(const Text&) const = default;
};

struct Axes {
    std::vector<Polygon> polygons;  // drawn first, in order
    std::vector<Line> lines;
    std::vector<Text> texts;
    std::string title, xLabel, yLabel;
    std::vector<std::string> legend;  // may hold more entries than there are lines
    bool xGrid = false, yGrid = false;
    std::string gridStyle = "-";
    double gridWidth = 0.5;
    // Explicit limits; without them the axes fit the data tightly.
    std::optional<std::array<double, 2>> xLimits, yLimits;
    bool operator==(const Axes&) const = default;
};

struct Figure {
    std::string name;  // the title under which it is saved
    Axes axes;
    std::string menuBar = "figure", toolBar = "figure";
    bool operator==(const Figure&) const = default;
};

}  // namespace orvane

// Draws the window-free figure descriptions with QCustomPlot, on screen or into files.
#pragma once

#include "figures/figure.h"

#include <filesystem>
#include <string>

class QCustomPlot;

namespace orvane {

// Draws fig into a plot area, replacing what it held (plottables, items, title, legend).
// Does not replot: the caller decides when.
void drawFigure(QCustomPlot& plot, const Figure& fig);

// "png", "svg", "pdf", "bmp", "jpg" and "jpeg", in any letter case.
bool isPictureFormat(const std::string& format);

// Draws fig off screen (no window shown, nothing left open) and writes it to `path` in
// `format`. The file appears complete or not at all. Throws orvane::Error naming the file
// on failure. Main thread only.
void renderFigureFile(const Figure& fig, const std::filesystem::path& path, const std::string& format,
                      int width = 800, int height = 600);

// Makes sure a QApplication exists for off-screen drawing (offscreen platform when there
// is no display); false if none can be had. Safe to call many times, main thread only.
bool ensureGuiApplication();

// The text as drawn: "_{…}" becomes Unicode subscript letters when every character has
// one, else the braces are dropped ("K_{adm}" → "K_adm", "x_{12}" → "x₁₂").
std::string displayText(const std::string& text);

}  // namespace orvane

// MenuFSV: pick one of a few named choices, in a small window or on the console.
#pragma once

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

namespace orvane {

// The number of the chosen item, 1 … n; 0 when the window was closed without a choice or no
// items were given (then "MENU: No menu items to choose from." is printed). The window form
// is used when a display is available (on Linux: the DISPLAY variable is not empty).
int MenuFSV(const std::string& xHeader, const std::vector<std::string>& xcItems);

int local_GUImenu(const std::string& xHeader, const std::vector<std::string>& xcItems);

// The menu window's layout in points: (x, y, w, h) with y from the lower edge of the screen
// (window) or of the window (header, buttons). textWidth and textHeight are the largest
// extents of the item texts; the window is at least as wide as the header text.
struct MenuGeometry {
    int rows = 1, columns = 0;
    std::array<double, 4> window{};
    std::array<double, 4> header{};
    std::vector<std::array<double, 4>> buttons;  // item 1 first
};
MenuGeometry menuGeometry(double textWidth, double textHeight, double headerWidth, double headerHeight, int items,
                          double screenHeight);

int local_ASCIImenu(const std::string& xHeader, const std::vector<std::string>& xcItems, std::istream& in,
                    std::ostream& out);

}  // namespace orvane

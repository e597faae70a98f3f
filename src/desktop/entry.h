// The module entry: opens the main window, or runs the function or callback named by a
// text first argument.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// Registers the callbacks of every window (once).
void registerAllCallbacks();

// orvane(arguments…): no arguments opens the main window; otherwise runs the function of
// that name. Returns false when no function has that name.
bool orvane(const std::vector<std::string>& arguments = {});

}  // namespace orvane

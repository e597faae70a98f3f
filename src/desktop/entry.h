// The module entry: opens the main window, or runs the function or callback named by a
// text first argument.
#pragma once

#include <string>
#include <vector>

namespace orvane {

class DesktopSession;

// orvane(arguments…): no arguments opens the main window; otherwise runs the function of
// that name, or the "<tag>_Callback" handler of the open window with that tag. Returns false
// when nothing has that name.
bool orvane(DesktopSession& ds, const std::vector<std::string>& arguments = {});

// The program's run: one desktop session for the process, orvane(arguments…), then Qt's
// event loop while a window is shown. Gives the exit code; 2 when nothing has the name.
int runDesktop(const std::vector<std::string>& arguments);

}  // namespace orvane

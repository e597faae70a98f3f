// The program's interface to the document opener: runs the extension "shellopenfile"
// (the library launchdoc), which opens a document in the application the desktop associates
// with it. Errors of the opener come back as ExtensionError with identifiers beginning with
// "Tarvex:openshell:".
#pragma once

#include "base/extension_loader.h"

#include <string>
#include <vector>

namespace orvane {

// Runs the opener with the current folder as input 1 and `arguments` after it (the document
// name is the one the opener reads).
void shellopenfile(const std::vector<ExtensionValue>& arguments);

// Opens `document`, relative to the current folder or absolute.
void shellopenfile(const std::string& document);

// Opens `document`, relative to `folder` or absolute, without changing the current folder.
void shellopenfileIn(const std::string& folder, const std::string& document);

}  // namespace orvane

// The text of an errno value as messages show it.
#pragma once

#include <string>

namespace orvane {

// strerror(err), except where its wording misleads: EFBIG ("File too large") is almost
// always the process's file-size limit (ulimit -f), not the file system's.
std::string systemErrorText(int err);

}  // namespace orvane

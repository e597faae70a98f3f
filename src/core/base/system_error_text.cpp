#include "base/system_error_text.h"

#include <cerrno>
#include <cstring>

namespace orvane {

std::string systemErrorText(int err)
{
    if (err == EFBIG) return "file size limit exceeded";
    return std::strerror(err);
}

}  // namespace orvane

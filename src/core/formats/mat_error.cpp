#include "formats/mat_error.h"

namespace orvane {

ResultFileError::ResultFileError(Kind kind, std::string path, std::string variable, const std::string& reason)
    : Error(path + ": " + (variable.empty() ? "" : variable + ": ") + reason),
      kind_(kind),
      path_(std::move(path)),
      variable_(std::move(variable))
{
}

}  // namespace orvane

// The one error type of MAT-file reading and writing: it names the file, the variable (when
// there is one) and the fault.
#pragma once

#include "base/error.h"

#include <string>

namespace orvane {

// A result file that cannot be written, or a variable that cannot be read as asked.
// what() names the file, the variable (when there is one) and the fault.
class ResultFileError : public Error {
public:
    enum class Kind {
        Unreadable,   // the file cannot be opened
        NotMatFile,   // not a Level 5 MAT-file
        Damaged,      // truncated or inconsistent inside
        Missing,      // no variable of that name
        WrongClass,   // e.g. a double array where a cell array belongs
        WrongShape,   // dimensions, entry count or struct fields differ
        WrongValue,   // readable, but not a value the program can use
        WriteFailed,
    };
    ResultFileError(Kind kind, std::string path, std::string variable, const std::string& reason);

    Kind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    const std::string& variable() const { return variable_; }

private:
    Kind kind_;
    std::string path_;
    std::string variable_;
};

}  // namespace orvane

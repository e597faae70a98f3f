// The batch command's guards against hostile input and against being stopped part-way.
#pragma once

#include "base/text.h"

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

// The text as it may be shown on a terminal: control characters escaped.
inline std::string shown(std::string_view text) { return escapeControlCharacters(text); }

// The threshold written plainly ("85", "85.5", "0.5") when text is a number from 0 to 100
// and nothing else (no blanks, no sign, no trailing characters); nullopt otherwise.
std::optional<std::string> plainThreshold(std::string_view text);

// The grid limit in points; throws std::invalid_argument with a short reason when text is
// not a whole number from 1 to the largest size the program can hold.
std::size_t parseMaxGrid(std::string_view text);

// SIGINT and SIGTERM set a flag instead of killing the process, so that the run can stop
// where its files are consistent. A second signal kills at once.
void catchStopSignals();

// Thrown at a safe point once a stop signal has arrived.
class Interrupted : public std::runtime_error {
public:
    explicit Interrupted(int signal) : std::runtime_error("interrupted"), signal_(signal) {}
    int signal() const { return signal_; }

private:
    int signal_;
};

// Throws Interrupted when a stop signal has arrived.
void stopIfSignalled();

// Ends the process by the signal that stopped it, as the shell expects.
[[noreturn]] void dieOf(int signal);

}  // namespace orvane

#include "batch/guard.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace orvane {

std::optional<std::string> plainThreshold(std::string_view text)
{
    // from_chars takes no blanks and no '+'; it does take "inf" and "nan", which the range
    // test refuses.
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!(value >= 0 && value <= 100)) return std::nullopt;
    if (value == 0) value = 0;  // "-0" is 0
    // The shortest fixed-point text that reads back to the same number.
    char buf[160];
    const auto [last, err] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (err != std::errc()) return std::nullopt;
    return std::string(buf, last);
}

std::size_t parseMaxGrid(std::string_view text)
{
    unsigned long long value = 0;
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!digits || (ec != std::errc() && ec != std::errc::result_out_of_range) || end != text.data() + text.size())
        throw std::invalid_argument("must be a whole number of points");
    if (ec == std::errc::result_out_of_range || value > std::numeric_limits<std::size_t>::max())
        throw std::invalid_argument("is too large (at most " +
                                    std::to_string(std::numeric_limits<std::size_t>::max()) + ")");
    if (value == 0) throw std::invalid_argument("must be at least 1");
    return static_cast<std::size_t>(value);
}

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void noteStopSignal(int signal)
{
    stopSignal = signal;
}

}  // namespace

void catchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = noteStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on; the default action is back for a second signal.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void stopIfSignalled()
{
    if (const int signal = stopSignal) throw Interrupted(signal);
}

void dieOf(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace orvane

// Fuzzes the Touchstone reader and the extended text reader on text in memory. The first
// byte picks the reader and its choices; the rest is the file. Anything but an orvane::Error
// (a crash, a sanitizer report, another exception) is a finding, as is a data set whose
// columns disagree in length or whose abscissa does not increase.
#include "formats/extended_read.h"
#include "base/error.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::uint8_t pick = data[0];
    const std::string_view raw(reinterpret_cast<const char*>(data + 1), size - 1);
    orvane::ReadOptions options;
    options.quantity = static_cast<orvane::ReadOptions::Quantity>(pick & 3);
    options.mergeDuplicates = (pick & 4) != 0;
    static const char* const params[] = {"", "S12", "S34", "S10,2"};
    options.parameter = params[(pick >> 3) & 3];
    if (pick & 0x20) options.xColumn = 1, options.yColumn = 3;
    if (pick & 0x40) options.yName = "S21";
    try {
        orvane::ReadReport report;
        const std::string text = orvane::decodeDataText(raw, "fuzz", report);
        const orvane::DataSet set = (pick & 0x80)
            ? orvane::readTouchstone(text, "fuzz", options, 1 + (pick & 7), report)
            : orvane::readExtendedText(text, "fuzz", options, report);
        if (set.abscissa.size() != set.ordinate.size() || set.lines.size() != set.abscissa.size()) std::abort();
        for (std::size_t k = 1; k + 1 < set.abscissa.size(); ++k)
            if (!(set.abscissa[k] >= set.abscissa[k - 1])) std::abort();
        (void)set.report.summary();
    } catch (const orvane::Error&) {
    }
    return 0;
}

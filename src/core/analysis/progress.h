// The three-stage progress display of an analysis.
#pragma once

#include <string>
#include <vector>

namespace orvane {

class Progress {
public:
    virtual ~Progress() = default;
    // Makes stage `bar` (1-based) current and shows the fraction done of it.
    virtual void update(int bar, double fraction) = 0;
};

inline constexpr const char* kProgressTitle = "Orvane ver. 1.0.0";
inline const std::vector<std::string> kProgressStages = {"Computing High/Low Array", "Saving date on HD",
                                                         "Computing FSV output"};

}  // namespace orvane

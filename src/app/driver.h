// fsvMain: one FSV analysis from the choice of the data to the last result file.
#pragma once

#include "app/analysis.h"
#include "app/dialogs.h"
#include "app/session.h"
#include "charts/chart_request.h"
#include "measures/graphic.h"

#include <memory>
#include <string>
#include <vector>

namespace orvane {

// The three-stage progress window. Closing happens when the object goes away.
class Progress {
public:
    virtual ~Progress() = default;
    // Makes stage `bar` (1-based) current and shows the fraction done of it.
    virtual void update(int bar, double fraction) = 0;
};

// What the analysis asks of whoever runs it: the desktop program answers with windows,
// the batch command from its options, tests from a script.
class DriverUi : public Dialogs {
public:
    // The choice menu: the number of the chosen item, 0 when closed without a choice.
    virtual int menu(const std::string& header, const std::vector<std::string>& items) = 0;
    // The data-loading window: fills session.dataset and returns when it is closed.
    virtual void loadData(Session& session) = 0;
    // The folder chooser: the chosen folder, or the empty text when cancelled.
    virtual std::string chooseFolder(const std::string& prompt, const std::string& start) = 0;
    // A new progress window with the given stages and title.
    virtual std::unique_ptr<Progress> openProgress(const std::vector<std::string>& stages, const std::string& title) = 0;
};

// Where the figures and charts of an analysis go; either may be absent.
struct FigureSinks {
    GraphicSink* graphics = nullptr;
    ChartSink* charts = nullptr;
};

inline constexpr const char* kProgressTitle = "Orvane ver. 1.0.0";
inline const std::vector<std::string> kProgressStages = {"Computing High/Low Array", "Saving date on HD",
                                                         "Computing FSV output"};

// Runs one analysis. a1 = 1 for time-domain data, 0 for frequency-domain data. Returns 1
// when the analysis ran to its end or stopped at a check or a cancelled choice, 0 when
// the data sets have no usable common abscissa. Reader and write errors are thrown.
// When `result` is given, it receives every list of a completed analysis.
int fsvMain(Session& session, int a1, DriverUi& ui, const FigureSinks& sinks = {}, AnalysisResult* result = nullptr);

// The first free name of base, base_1, base_2, … in folder.
std::string freeSubfolderName(const std::string& folder, const std::string& base);

}  // namespace orvane

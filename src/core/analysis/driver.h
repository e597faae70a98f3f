// One analysis session: from the choice of the domain and the data to the last result file.
#pragma once

#include "analysis/analysis.h"
#include "analysis/dialogs.h"
#include "analysis/session.h"

#include <memory>
#include <string>
#include <vector>

namespace orvane {

// What the analysis asks of whoever runs it: the desktop program answers with windows,
// the batch command from its options, tests from a script.
class DriverUi : public Dialogs {
public:
    // "Do you want GDM weighting?": true for weighting. Asked as a question by default.
    virtual bool weightGdm() { return askGdmWeighting(*this); }
    // The choice menu: the number of the chosen item, 0 when closed without a choice.
    virtual int menu(const std::string& header, const std::vector<std::string>& items) = 0;
    // The default grid is far denser than the data; a warning by default.
    virtual void denseGrid(const DenseGrid& grid) { warning(grid.message, kWarningTitle); }
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

enum class Domain { Frequency = 0, Time = 1 };

enum class SessionOutcome {
    Finished,       // the analysis ran to its end
    Stopped,        // at a data check or a cancelled choice (the user has been told)
    NoCommonRange,  // the data sets share no usable abscissa range (the user has been told)
};

// Runs one analysis session: the analysis menu for frequency-domain data, the data-loading
// window, the checks of the loaded sets and the analysis pipeline with its output folder.
// Reader and write errors are thrown. When `result` is given, it receives every list of a
// finished analysis; `settings`, the settings it ran with (for summaryJson and the like).
SessionOutcome runAnalysisSession(Session& session, Domain domain, DriverUi& ui, const FigureSinks& sinks = {},
                                  AnalysisResult* result = nullptr, AnalysisSettings* settings = nullptr);

}  // namespace orvane

// The questions, messages and choosers of the program as Qt dialogs.
#pragma once

#include "analysis/dialogs.h"
#include "desktop/choosers.h"

namespace orvane {

class QtDialogs : public Dialogs {
public:
    // A modal dialog with the question's buttons; closing it gives the default answer.
    std::string question(const Question& q) override;
    // Not modal: the analysis goes on while the warning is shown.
    void warning(const std::string& message, const std::string& title) override;
    void error(const std::string& message, const std::string& title) override;
    // Not modal either: where a file went.
    void inform(const std::string& message, const std::string& title) override;
};

// Data files: "*.txt" first, then "*.csv *.dat" and all files. Every chooser opens in the
// folder it was last used in (remembered across runs), else where the caller says.
class QtChoosers : public Choosers {
public:
    std::optional<ChosenFile> chooseFile(const std::string& filter, const std::string& title) override;
    std::string chooseFolder(const std::string& prompt, const std::string& start) override;
    // "Read Data File": the first lines, what was found, and the columns (or the parameter and
    // quantity of a Touchstone file) to take.
    std::optional<ReadOptions> chooseReading(const ReadPreview& preview) override;
};

// The folder the chooser with this title opens in: where it was last used, if that folder
// still exists, else `fallback`.
std::string chooserFolder(const std::string& chooser, const std::string& fallback);
void rememberChooserFolder(const std::string& chooser, const std::string& folder);

}  // namespace orvane

// The questions, messages and choosers of the program as Qt dialogs.
#pragma once

#include "analysis/dialogs.h"
#include "desktop/choosers.h"

namespace orvane {

class QtDialogs : public Dialogs {
public:
    // A modal dialog with the question's buttons; closing it answers the empty text.
    std::string question(const Question& q) override;
    // Not modal: the analysis goes on while the warning is shown.
    void warning(const std::string& message, const std::string& title) override;
    void error(const std::string& message, const std::string& title) override;
};

// Data files: "*.txt" first, then "*.csv *.dat" and all files, opening in the folder of the
// last file chosen (remembered across runs). Folders: Qt's folder dialog.
class QtChoosers : public Choosers {
public:
    std::optional<ChosenFile> chooseFile(const std::string& filter, const std::string& title) override;
    std::string chooseFolder(const std::string& prompt, const std::string& start) override;
    // "Read Data File": the first lines, what was found, and the columns (or the parameter and
    // quantity of a Touchstone file) to take.
    std::optional<ReadOptions> chooseReading(const ReadPreview& preview) override;
};

// The folder the data file chooser opens in; empty when none was remembered.
std::string lastDataFolder();
void rememberDataFolder(const std::string& folder);

}  // namespace orvane

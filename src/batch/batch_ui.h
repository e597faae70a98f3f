// The batch command's answers to the analysis's questions, taken from its options.
#pragma once

#include "analysis/driver.h"
#include "formats/data_set.h"

#include <ostream>
#include <string>
#include <vector>

namespace orvane {

struct BatchOptions {
    std::string domain = "time";          // time, magnitude or phase
    std::string outputFolder = ".";
    bool weighting = true;
    bool showProgress = false;            // a one-line progress display on stderr
    std::vector<std::string> files;
    std::vector<ReadOptions> readOptions;  // how to read each file, parallel to files
    std::size_t reference = 0;             // 0 the average, k the k-th file
};

// Where the run's progress display stands, across the progress displays of one run.
struct RunProgress {
    int segment = -1;  // stage changes so far, less one
    int bar = 0;       // the stage shown last
    int percent = -1;  // the percentage shown last
};

class BatchUi : public DriverUi {
public:
    BatchUi(const BatchOptions& options, std::ostream& err) : options_(options), err_(err) {}

    // True once the analysis stopped at one of its data checks.
    bool stoppedAtCheck() const { return stopped_; }

    // The warning about a dense default grid, with the option that chooses another; empty if none.
    const std::string& gridWarning() const { return gridWarning_; }

    bool weightGdm() override { return options_.weighting; }
    void denseGrid(const DenseGrid& grid) override;
    std::string question(const Question& q) override;
    void warning(const std::string& message, const std::string& title) override;
    void error(const std::string& message, const std::string& title) override;
    int menu(const std::string& header, const std::vector<std::string>& items) override;
    void loadData(Session& session) override;
    std::string chooseFolder(const std::string& prompt, const std::string& start) override;
    std::unique_ptr<Progress> openProgress(const std::vector<std::string>& stages, const std::string& title) override;

private:
    const BatchOptions& options_;
    std::ostream& err_;
    bool stopped_ = false;
    std::string gridWarning_;
    RunProgress runProgress_;
};

}  // namespace orvane

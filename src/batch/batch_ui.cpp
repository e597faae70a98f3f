#include "batch/batch_ui.h"
#include "batch/grid_option.h"
#include "formats/dlmread.h"

#include "batch/guard.h"
#include "base/error.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace orvane {

namespace {

// One display for the whole run ("\r 42% Computing FSV output"), redrawn in place and never
// going backwards. The pipeline passes through its stages twice (the ADM and FDM measures,
// then, after the weighting question, the reports and the GDM) with a new progress each time,
// so the percentage counts the stage changes of the whole run. On a terminal without cursor
// control (TERM=dumb) it writes plain lines instead, one per stage change and tenth of the run.
class LineProgress : public Progress {
public:
    LineProgress(std::vector<std::string> stages, std::ostream& out, bool plain, RunProgress& run)
        : stages_(std::move(stages)), out_(out), plain_(plain), run_(run)
    {
    }
    ~LineProgress() override
    {
        if (!plain_ && shown_) out_ << "\r\033[K" << std::flush;
    }

    void update(int bar, double fraction) override
    {
        stopIfSignalled();
        if (bar < 1 || bar > static_cast<int>(stages_.size())) return;
        const double within = std::clamp(std::fmod(fraction, 1.0 + 1e-12), 0.0, 1.0);
        const bool newStage = bar != run_.bar;
        if (newStage) {
            ++run_.segment;
            run_.bar = bar;
        }
        const int overall = static_cast<int>(std::floor(100 * (run_.segment + within) / kRunSegments));
        const int percent = std::min(100, std::max(overall, run_.percent));
        if (!newStage && percent == run_.percent && shown_) return;
        const bool line = !plain_ || newStage || !shown_ || percent / 10 != run_.percent / 10;
        run_.percent = percent;
        if (!line) return;
        shown_ = true;
        char text[200];
        std::snprintf(text, sizeof text, plain_ ? "%3d%% %s\n" : "\r\033[K%3d%% %s", percent,
                      stages_[static_cast<std::size_t>(bar - 1)].c_str());
        out_ << text << std::flush;
    }

private:
    static constexpr int kRunSegments = 6;  // stages 1, 2, 3, then 2, 3, 2
    std::vector<std::string> stages_;
    std::ostream& out_;
    bool plain_;
    RunProgress& run_;
    bool shown_ = false;
};

class NoProgress : public Progress {
public:
    // Progress notes are the pipeline's safe points for a stop.
    void update(int, double) override { stopIfSignalled(); }
};

}  // namespace

std::string BatchUi::question(const Question& q)
{
    // Every question but the weighting (weightGdm) reports a stop of the analysis.
    stopped_ = true;
    // The question's own text first, then what it is about (file, line, what was found).
    err_ << "orvane-batch: " << shown(q.message);
    if (!q.detail.empty()) err_ << ": " << shown(q.detail);
    err_ << '\n';
    return q.defaultButton;
}

void BatchUi::warning(const std::string& message, const std::string&)
{
    err_ << "orvane-batch: warning: " << shown(message) << '\n';
}

void BatchUi::denseGrid(const DenseGrid& grid)
{
    gridWarning_ = grid.message + " Choose one with " + gridOptionFor(GridKind::Logarithmic, grid.largestSet) +
                   " or " + gridOptionFor(GridKind::Uniform, grid.largestSet) + ".";
    warning(gridWarning_, kWarningTitle);
}

void BatchUi::error(const std::string& message, const std::string& title)
{
    err_ << "orvane-batch: " << shown(title) << ": " << shown(message) << '\n';
}

int BatchUi::menu(const std::string&, const std::vector<std::string>& items)
{
    const std::string wanted = options_.domain == "phase" ? "Phase" : "Magnitude";
    for (std::size_t k = 0; k < items.size(); ++k)
        if (items[k] == wanted) return static_cast<int>(k + 1);
    return 0;
}

void BatchUi::loadData(Session& session)
{
    for (std::size_t k = 0; k < options_.files.size() && k < session.dataset.size(); ++k) {
        const std::string& file = options_.files[k];
        session.dataset[k] = file == kStandardInput ? file : std::filesystem::absolute(file).string();
        if (k < options_.readOptions.size()) session.readOptions[k] = options_.readOptions[k];
    }
    session.reference = options_.reference;
}

std::string BatchUi::chooseFolder(const std::string&, const std::string&)
{
    const std::filesystem::path folder = std::filesystem::absolute(options_.outputFolder);
    std::error_code ec;
    // A missing folder is made, with its parents, as mkdir -p would.
    if (!std::filesystem::exists(folder, ec)) std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec))
        throw Error("The output folder " + folder.string() + " could not be made or is not a folder" +
                    (ec ? ": " + ec.message() + "." : "."));
    return folder.lexically_normal().string();
}

std::unique_ptr<Progress> BatchUi::openProgress(const std::vector<std::string>& stages, const std::string&)
{
    if (options_.showProgress) {
        const char* term = std::getenv("TERM");
        const bool plain = term == nullptr || *term == '\0' || std::strcmp(term, "dumb") == 0;
        return std::make_unique<LineProgress>(stages, err_, plain, runProgress_);
    }
    return std::make_unique<NoProgress>();
}

}  // namespace orvane

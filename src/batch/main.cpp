// orvane-batch: the whole FSV analysis of 2 to 8 data files, without windows.
//
// It writes the analysis sub-folder (reports and MAT-files) into the output folder as the
// desktop program does, then prints the sub-folder's path and a summary table.
// Exit status: 0 success, 1 a data or write error (message on stderr), 2 a usage error.

#include "analysis/driver.h"
#include "analysis/figure_files.h"
#include "render/figure_renderer.h"
#include "render/picture_queue.h"
#include "figures/figure_file.h"
#include "batch/batch_ui.h"
#include "batch/summary.h"
#include "base/error.h"
#include "base/text.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <optional>
#include <iostream>
#include <unistd.h>

namespace orvane {
namespace {

// Draws each figure file as a picture next to it; 1 when any could not be drawn.
int renderFigures(const std::vector<std::string>& files, const std::string& format)
{
    if (!ensureGuiApplication()) {
        std::cerr << "orvane-batch: pictures cannot be drawn: no window system could be started\n";
        return 1;
    }
    int status = 0;
    for (const std::string& file : files) {
        try {
            std::filesystem::path picture(file);
            picture.replace_extension(format);
            renderFigureFile(readFigureFile(file), picture, format);
            std::cout << picture.string() << '\n';
        } catch (const Error& e) {
            std::cerr << "orvane-batch: " << e.what() << '\n';
            status = 1;
        }
    }
    return status;
}

int run(int argc, char** argv)
{
    CLI::App app{"Rates the agreement of 2 to 8 data sets with the Feature Selective Validation method.",
                 "orvane-batch"};
    BatchOptions options;
    std::string thrs = "85";
    std::string weighting = "yes";
    std::size_t maxGrid = kDefaultMaxGridPoints;
    bool json = false, quiet = false;
    std::string figures = "fig";
    app.add_option("-d,--domain", options.domain, "Domain of the data: time, magnitude or phase")
        ->check(CLI::IsMember({"time", "magnitude", "phase"}))
        ->capture_default_str();
    app.add_option("-o,--output", options.outputFolder, "Folder in which the analysis sub-folder is made")
        ->capture_default_str();
    app.add_option("-t,--threshold", thrs, "Threshold of grade and spread in percent (0 … 100)")->capture_default_str();
    app.add_option("-w,--weighting", weighting, "Weight the GDM by the spreads of ADM and FDM: yes or no")
        ->check(CLI::IsMember({"yes", "no"}))
        ->capture_default_str();
    app.add_option("--max-grid,--max-points", maxGrid, "Largest common grid accepted, in points")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    app.add_option("--figures", figures,
                   "Save the plots and charts as figure files (fig), as pictures (png, svg, pdf, bmp, jpg), or not at all (none)")
        ->check(CLI::IsMember({"fig", "png", "svg", "pdf", "bmp", "jpg", "none"}))
        ->capture_default_str();
    app.add_flag("--json", json, "Print the summary as JSON");
    app.add_flag("-q,--quiet", quiet, "Print only the path of the analysis sub-folder");
    app.add_option("files", options.files, "Data files, two numbers per line (abscissa, ordinate)")->expected(0, 8);

    // orvane-batch render [--format png] FILE.fig …: pictures of saved figure files, beside them.
    CLI::App* render = app.add_subcommand("render", "Draw saved figure files as pictures beside them");
    std::string renderFormat = "png";
    std::vector<std::string> figureFiles;
    render->add_option("-f,--format", renderFormat, "Picture format: png, svg, pdf, bmp or jpg")
        ->check(CLI::IsMember({"png", "svg", "pdf", "bmp", "jpg"}))
        ->capture_default_str();
    render->add_option("figures", figureFiles, "Figure files (.fig)")->required();
    app.require_subcommand(0, 1);
    try {
        app.parse(argc, argv);
        if (!render->parsed() && (options.files.size() < 2 || options.files.size() > 8))
            throw CLI::ValidationError("files", "2 to 8 data files are needed");
        const double t = str2double(thrs);
        if (!(t >= 0 && t <= 100)) throw CLI::ValidationError("--threshold", "must be a number from 0 to 100");
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    if (render->parsed()) return renderFigures(figureFiles, renderFormat);
    options.weighting = weighting == "yes";
    options.showProgress = !quiet && isatty(STDERR_FILENO);

    try {
        Session session;
        session.startFolder = std::filesystem::current_path().string();
        session.maxGridPoints = maxGrid;
        session.startThreshold = thrs;
        session.startFigureFormat = figures;
        BatchUi ui(options, std::cerr);
        PictureWriter pictures;
        std::optional<PictureQueue> queue;
        if (figures != "fig" && figures != "none") {
            if (!ensureGuiApplication()) throw Error("Pictures cannot be drawn: no window system could be started.");
            queue.emplace();
            pictures = [&queue](const Figure& fig, const std::filesystem::path& path, const std::string& format) {
                queue->submit(fig, path, format);
            };
        }
        FigureFiles files(session, ui, pictures);
        FigureSinks sinks;
        if (figures != "none") sinks = {&files, &files};
        AnalysisResult result;
        const SessionOutcome outcome = runAnalysisSession(
            session, options.domain == "time" ? Domain::Time : Domain::Frequency, ui, sinks, &result);
        if (queue) queue->finish();
        if (outcome != SessionOutcome::Finished) return 1;

        const std::string folder = (std::filesystem::path(session.outputFolder) / session.analysisFolderName).string();
        SummaryInfo info{folder, options.domain, session.thrs, options.weighting, options.files};
        if (json)
            printSummaryJson(std::cout, result, info);
        else if (quiet)
            std::cout << folder << '\n';
        else
            printSummaryTable(std::cout, result, info);
        return 0;
    } catch (const Error& e) {
        std::cerr << "orvane-batch: " << e.what() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "orvane-batch: not enough memory for this analysis\n";
        return 1;
    } catch (const std::exception& e) {
        // Any other failure (a broken precondition, a library's own exception) ends the run
        // the same way: a message and status 1, never a terminated process.
        std::cerr << "orvane-batch: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv)
{
    return orvane::run(argc, argv);
}

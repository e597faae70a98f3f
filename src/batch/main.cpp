// orvane-batch: the whole FSV analysis of 2 to 8 data files, without windows.
//
// It writes the analysis sub-folder (reports and MAT-files) into the output folder as the
// desktop program does, then prints the sub-folder's path and a summary table.
// Exit status: 0 success, 1 a data or write error (message on stderr), 2 a usage error; a run
// stopped by SIGINT or SIGTERM ends by that signal once its files are consistent.

#include "analysis/driver.h"
#include "analysis/figure_files.h"
#include "analysis/output_folder.h"
#include "analysis/picture_backend.h"
#include "analysis/summaries.h"
#include "batch/batch_ui.h"
#include "batch/grid_option.h"
#include "batch/guard.h"
#include "formats/read_choice.h"
#include "batch/summary.h"
#include "base/error.h"
#include "formats/dlmread.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

// Warns once per folder when a file lies in an analysis folder whose run did not finish.
class IncompleteFolderWarnings {
public:
    void check(const fs::path& file)
    {
        std::error_code ec;
        const fs::path absolute = fs::absolute(file, ec);
        if (ec) return;
        for (fs::path folder = absolute.parent_path(); !folder.empty(); folder = folder.parent_path()) {
            if (isIncompleteAnalysis(folder) && warned_.insert(folder).second)
                std::cerr << "orvane-batch: warning: " << shown(folder.string()) << " holds " << kIncompleteMarker
                          << ": its analysis did not finish, its files may be incomplete\n";
            if (folder == folder.root_path()) break;
        }
    }

private:
    std::set<fs::path> warned_;
};

// Draws each figure file as a picture next to it; 1 when any could not be drawn or was
// skipped. A picture never replaces its own figure file, nor (without force) a file that
// this run did not make.
int renderFigures(const std::vector<std::string>& files, const std::string& format, bool force, bool verbose)
{
    std::unique_ptr<PictureBackend> backend;  // loaded with the first picture to draw
    std::set<fs::path> made;
    IncompleteFolderWarnings incomplete;
    int status = 0;
    for (const std::string& file : files) {
        stopIfSignalled();
        try {
            incomplete.check(file);
            fs::path picture(file);
            picture.replace_extension(format);
            std::error_code ec;
            const bool exists = fs::exists(fs::symlink_status(picture, ec));
            if (picture == fs::path(file) || (exists && fs::equivalent(picture, file, ec))) {
                std::cerr << "orvane-batch: " << shown(file) << ": the picture would replace the figure file itself; skipped\n";
                status = 1;
                continue;
            }
            if (exists && !force && !made.contains(fs::absolute(picture).lexically_normal())) {
                std::cerr << "orvane-batch: " << shown(picture.string())
                          << " exists; skipped (use --force to replace it)\n";
                status = 1;
                continue;
            }
            if (!backend) backend = loadPictureBackend(verbose);
            backend->renderFile(file, picture, format);
            made.insert(fs::absolute(picture).lexically_normal());
            std::cout << shown(picture.string()) << '\n';
        } catch (const Error& e) {
            std::cerr << "orvane-batch: " << shown(e.what()) << '\n';
            status = 1;
            if (!backend) return status;  // no drawing at all: the rest would fail the same way
        }
    }
    return status;
}

// Passes the figures on to the files, stopping first when a stop signal has arrived.
class StoppableSinks : public GraphicSink, public ChartSink {
public:
    explicit StoppableSinks(FigureFiles& files) : files_(files) {}
    void graphic(const GraphicCall& call) override
    {
        stopIfSignalled();
        files_.graphic(call);
    }
    void chart(const ChartRequest& request) override
    {
        stopIfSignalled();
        files_.chart(request);
    }

private:
    FigureFiles& files_;
};

int run(int argc, char** argv)
{
    CLI::App app{"Rates the agreement of 2 to 8 data sets with the Feature Selective Validation method.",
                 "orvane-batch"};
    app.set_version_flag("--version", "orvane-batch " ORVANE_VERSION, "Print the version and exit");
    app.footer("Example:\n"
               "  orvane-batch -d magnitude -t 90 -o results measured.txt simulation.txt\n"
               "      writes \"results/Frequency Domain Analysis\" and prints a summary table.\n"
               "  orvane-batch -d magnitude --grid log:1001 sweep_a.s2p sweep_b.csv:columns=1,2\n"
               "      analyses logarithmic sweeps on 1001 logarithmically spaced points.\n\n"
               "Exit status:\n"
               "  0  success\n"
               "  1  a data or write error\n"
               "  2  a usage error");
    // GNU style: "orvane-batch: --threshold: must be …", then where to read more.
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return "orvane-batch: " + std::string(e.what()) + "\nTry 'orvane-batch --help' for more information.\n";
    });
    BatchOptions options;
    std::string thrs = "85";
    std::string weighting = "yes";
    std::string maxGridText = std::to_string(kDefaultMaxGridPoints);
    bool json = false, quiet = false, verbose = false, report = true, compress = false;
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
    app.add_option("--max-grid,--max-points", maxGridText, "Largest common grid accepted, in points")
        ->capture_default_str();
    std::string gridText = "finest";
    app.add_option("--grid", gridText,
                   "Common grid: finest (the finest sample spacing), uniform:N or log:N (N points over the common range)")
        ->capture_default_str();
    app.add_option("--figures", figures,
                   "Save the plots and charts as figure files (fig), as pictures (png, svg, pdf, bmp, jpg), or not at all (none)")
        ->check(CLI::IsMember({"fig", "png", "svg", "pdf", "bmp", "jpg", "none"}))
        ->capture_default_str();
    std::size_t reference = 0;
    app.add_option("--reference", reference,
                   "Compare every set with data file K (1 … number of files) instead of their average")
        ->type_name("K");
    app.add_flag("--report,!--no-report", report, "Write report.html into the analysis folder (default) or not");
    app.add_flag("--compress", compress, "Write the MAT-files (results and figure files) compressed with zlib");
    app.add_flag("--json", json, "Print the summary as JSON (the analysis folder's summary.json)");
    app.add_flag("-q,--quiet", quiet, "Print only the path of the analysis sub-folder");
    app.add_flag("-v,--verbose", verbose, "Also print the messages of the drawing library (Qt)");
    app.add_option("files", options.files, "Data files, two numbers per line (abscissa, ordinate); - reads standard input")->expected(0, 8);

    // How the data files are read; a file's own suffix (meas.csv:columns=1,3) wins over these.
    CLI::Option_group* reading = app.add_option_group(
        "Reading the data files",
        "Apply to every file; one file takes its own as a suffix, e.g. meas.csv:columns=1,3 or "
        "dut.s2p:param=S12:quantity=deg (keys columns, param, quantity, x-unit, merge-duplicates)");
    std::string columnsText, paramText, quantityText, xUnitText;
    bool mergeDuplicates = false;
    reading->add_option("--columns", columnsText, "Columns X,Y of a text file, by number from 1 or by title (1,3 or Freq,S21)");
    reading->add_option("--param", paramText, "Parameter of a Touchstone file (.s1p … .s4p, .ts), default S21 (S11 for one port)");
    reading->add_option("--quantity", quantityText, "What of the parameter: db (default), mag, deg or deg-unwrapped")
        ->check(CLI::IsMember({"db", "mag", "deg", "deg-unwrapped"}));
    reading->add_option("--x-unit", xUnitText,
                        "Unit of x in text files, scaled to Hz or s: Hz kHz MHz GHz s ms us ns ps; header (the column title's); none");
    reading->add_flag("--merge-duplicates", mergeDuplicates, "Samples with equal abscissae become one with the mean ordinate");

    // orvane-batch render [--format png] [--force] FILE.fig …: pictures of saved figure files, beside them.
    CLI::App* render = app.add_subcommand("render", "Draw saved figure files as pictures beside them");
    std::string renderFormat = "png";
    std::vector<std::string> figureFiles;
    bool force = false;
    render->add_option("-f,--format", renderFormat, "Picture format: png, svg, pdf, bmp or jpg")
        ->check(CLI::IsMember({"png", "svg", "pdf", "bmp", "jpg"}))
        ->capture_default_str();
    render->add_flag("--force", force, "Replace pictures that exist already");
    render->add_option("figures", figureFiles, "Figure files (.fig)")->required();
    app.require_subcommand(0, 1);
    std::size_t maxGrid = kDefaultMaxGridPoints;
    GridChoice grid;
    try {
        app.parse(argc, argv);
        if (!render->parsed() && (options.files.size() < 2 || options.files.size() > 8))
            throw CLI::ValidationError("files", "2 to 8 data files are needed");
        if (!render->parsed() && app.count("--reference") > 0 && (reference < 1 || reference > options.files.size()))
            throw CLI::ValidationError("--reference", "must be the number of one of the data files, 1 to " +
                                                          std::to_string(options.files.size()));
        const std::optional<std::string> plain = plainThreshold(thrs);
        if (!plain) throw CLI::ValidationError("--threshold", "must be a number from 0 to 100");
        thrs = *plain;  // the folder name and every text use this one spelling
        try {
            maxGrid = parseMaxGrid(maxGridText);
        } catch (const std::invalid_argument& e) {
            throw CLI::ValidationError("--max-grid", shown(maxGridText) + " " + e.what());
        }
        try {
            grid = parseGridOption(gridText);
        } catch (const std::invalid_argument& e) {
            throw CLI::ValidationError("--grid", shown(gridText) + " " + e.what());
        }
        ReadOptions reads;
        try {
            if (!columnsText.empty()) applyReadChoice(reads, "columns", columnsText);
            if (!paramText.empty()) applyReadChoice(reads, "param", paramText);
            if (!quantityText.empty()) applyReadChoice(reads, "quantity", quantityText);
            if (!xUnitText.empty()) applyReadChoice(reads, "x-unit", xUnitText);
            reads.mergeDuplicates = mergeDuplicates;
            for (std::string& file : options.files) {
                FileArgument argument = parseFileArgument(file, reads);
                file = argument.path;
                options.readOptions.push_back(argument.options);
            }
            if (std::count(options.files.begin(), options.files.end(), kStandardInput) > 1)
                throw std::invalid_argument("standard input (-) can be read only once");
        } catch (const std::invalid_argument& e) {
            throw CLI::ValidationError("files", e.what());
        }
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    if (render->parsed()) return renderFigures(figureFiles, renderFormat, force, verbose);
    options.weighting = weighting == "yes";
    options.reference = reference;
    options.showProgress = !quiet && isatty(STDERR_FILENO);

    Session session;
    session.startFolder = fs::current_path().string();
    session.maxGridPoints = maxGrid;
    session.grid = grid;
    session.startThreshold = thrs;
    session.startFigureFormat = figures;
    session.writeReport = report;
    if (compress) session.matCompression = matfile::Compression::Zlib;
    BatchUi ui(options, std::cerr);
    PictureWriter pictures;
    std::unique_ptr<PictureBackend> backend;
    if (figures != "fig" && figures != "none") {
        // Loaded before the run, so that a missing renderer stops it before any file is written.
        backend = loadPictureBackend(verbose);
        pictures = [&backend](const Figure& fig, const fs::path& path, const std::string& format) {
            stopIfSignalled();
            backend->submit(fig, path, format);
        };
    }
    FigureFiles files(session, ui, pictures);
    StoppableSinks stoppable(files);
    FigureSinks sinks;
    if (figures != "none") sinks = {&stoppable, &stoppable};
    AnalysisResult result;
    AnalysisSettings settings;
    const SessionOutcome outcome = runAnalysisSession(
        session, options.domain == "time" ? Domain::Time : Domain::Frequency, ui, sinks, &result, &settings);
    if (backend) backend->finish();
    // What reading found in files that were not plain two-column text, so the user can check it.
    if (!quiet)
        for (std::size_t k = 0; k < session.dataset.size(); ++k)
            if (!session.readSummaries[k].empty())
                std::cerr << "orvane-batch: " << shown(session.dataset[k]) << ": " << shown(session.readSummaries[k]) << '\n';
    if (outcome != SessionOutcome::Finished) return 1;

    const std::string folder = (fs::path(session.outputFolder) / session.analysisFolderName).string();
    if (isIncompleteAnalysis(folder))
        std::cerr << "orvane-batch: warning: " << shown(folder) << " still holds " << kIncompleteMarker
                  << " although the run finished\n";
    SummaryInfo info{folder, options.domain, session.thrs, options.weighting, options.files, ui.gridWarning()};
    if (json)
        std::cout << summaryJson(settings, result);
    else if (quiet)
        std::cout << shown(folder) << '\n';
    else
        printSummaryTable(std::cout, result, info);
    return 0;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv)
{
    // A write beyond the file-size limit fails with EFBIG and is reported, instead of the
    // signal ending the process with the file half written.
    std::signal(SIGXFSZ, SIG_IGN);
    orvane::catchStopSignals();
    try {
        return orvane::run(argc, argv);
    } catch (const orvane::Interrupted& e) {
        // The pipeline has abandoned its folder (the incomplete marker stays) and the
        // writers have removed their temporaries on the way out.
        std::cerr << "orvane-batch: interrupted\n";
        orvane::dieOf(e.signal());
    } catch (const orvane::DataFileError& e) {
        // GNU style, for editors that jump to FILE:LINE.
        std::cerr << "orvane-batch: " << orvane::shown(e.path());
        if (e.line() > 0) std::cerr << ':' << e.line();
        std::cerr << ": " << orvane::shown(e.reason()) << '\n';
    } catch (const orvane::GridTooLargeError& e) {
        std::cerr << "orvane-batch: " << orvane::shown(e.what()) << " Choose one with --grid log:N or --grid uniform:N.\n";
    } catch (const orvane::Error& e) {
        std::cerr << "orvane-batch: " << orvane::shown(e.what()) << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "orvane-batch: not enough memory for this analysis\n";
    } catch (const std::exception& e) {
        // Any other failure (a broken precondition, a library's own exception) ends the run
        // the same way: a message and status 1, never a terminated process.
        std::cerr << "orvane-batch: " << orvane::shown(e.what()) << '\n';
    } catch (...) {
        std::cerr << "orvane-batch: an unknown error ended the run\n";
    }
    return 1;
}

#include "analysis/figure_files.h"

#include "figures/color_code_chart.h"
#include "figures/star_labels.h"
#include "figures/graphic_figure.h"
#include "figures/figure_file.h"
#include "base/error.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace orvane {

void FigureFiles::save(const fs::path& folder, const std::string& name, const Figure& fig)
{
    const std::string& ext = session_.figureFormat;
    const fs::path path = folder / (name + "." + ext);
    if (ext == "fig")
        writeFigureFile(path, fig, session_.matCompression);
    else if (pictures_)
        pictures_(fig, path, ext);
    else
        throw Error("Figures in the format \"" + ext + "\" need the picture renderer.");
}

void FigureFiles::graphic(const GraphicCall& call)
{
    save(fs::path(session_.outputFolder) / session_.analysisFolderName, call.title, graphicFigure(call, session_.D));
    ++written_;
}

void FigureFiles::chart(const ChartRequest& request)
{
    // Charts are saved during an analysis only; the chart window draws its own.
    if (!(session_.T == 1 || session_.T == 2) || session_.saveCharts != 1) return;
    const ChartFigure chart = colourCodeChart(request);
    if (chart.unknownForm) dialogs_.warning("Error !!!!", kWarningTitle);
    if (chart.namefile.empty()) return;
    const fs::path folder = fs::path(session_.outputFolder) / session_.analysisFolderName / request.thrs;
    std::error_code ec;
    fs::create_directory(folder, ec);
    if (!fs::is_directory(folder)) throw Error("Cannot create the folder " + folder.string());
    if (session_.figureFormat == "fig") {
        save(folder, chart.namefile, chart.figure);
    } else {
        Figure picture = chart.figure;  // a picture cannot be arranged again when it is shown
        separateStarLabels(picture.axes);
        save(folder, chart.namefile, picture);
    }
    ++written_;
}

}  // namespace orvane

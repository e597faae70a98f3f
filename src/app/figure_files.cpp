#include "app/figure_files.h"

#include "charts/fsv_ccc.h"
#include "measures/graphic_figure.h"
#include "plot/figure_file.h"
#include "runtime/error.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace orvane {

namespace {

void save(const fs::path& folder, const std::string& name, const std::string& FigExt, const Figure& fig)
{
    if (FigExt != "fig") throw Error("Figures in the format \"" + FigExt + "\" cannot be written yet.");
    writeFigureFile(folder / (name + "." + FigExt), fig);
}

}  // namespace

void FigureFiles::graphic(const GraphicCall& call)
{
    save(fs::path(session_.dirpath) / session_.nmdr, call.title, session_.FigExt, graphicFigure(call, session_.D));
    ++written_;
}

void FigureFiles::chart(const ChartRequest& request)
{
    // Charts are saved during an analysis only; the chart window draws its own.
    if (!(session_.T == 1 || session_.T == 2) || session_.ctrlp != 1) return;
    const ChartFigure chart = FSV_CCC(request, dialogs_);
    if (chart.namefile.empty()) return;
    const fs::path folder = fs::path(session_.dirpath) / session_.nmdr / request.thrs;
    std::error_code ec;
    fs::create_directory(folder, ec);
    if (!fs::is_directory(folder)) throw Error("Cannot create the folder " + folder.string());
    save(folder, chart.namefile, session_.FigExt, chart.figure);
    ++written_;
}

}  // namespace orvane

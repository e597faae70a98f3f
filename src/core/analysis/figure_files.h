// Saves the figures and charts of an analysis as figure files in its output folders.
#pragma once

#include "analysis/dialogs.h"
#include "analysis/session.h"
#include "analysis/figure_sinks.h"
#include "figures/figure.h"

#include <filesystem>
#include <functional>

namespace orvane {

// Writes a figure as a picture file in a format other than "fig" (a renderer's job).
using PictureWriter =
    std::function<void(const Figure& figure, const std::filesystem::path& path, const std::string& format)>;

// Plots go into the analysis folder outputFolder/analysisFolderName under their titles, charts into its
// threshold folder (made when missing), each as <name>.<figureFormat>. The figure format "fig"
// is written here; other formats go to the picture writer, when there is one.
class FigureFiles : public GraphicSink, public ChartSink {
public:
    FigureFiles(Session& session, Dialogs& dialogs, PictureWriter pictures = {})
        : session_(session), dialogs_(dialogs), pictures_(std::move(pictures))
    {
    }

    void graphic(const GraphicCall& call) override;
    void chart(const ChartRequest& request) override;

    std::size_t written() const { return written_; }

private:
    void save(const std::filesystem::path& folder, const std::string& name, const Figure& figure);

    Session& session_;
    Dialogs& dialogs_;
    PictureWriter pictures_;
    std::size_t written_ = 0;
};

}  // namespace orvane

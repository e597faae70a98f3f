// Saves the figures and charts of an analysis as figure files in its output folders.
#pragma once

#include "app/dialogs.h"
#include "app/session.h"
#include "charts/chart_request.h"
#include "measures/graphic.h"

namespace orvane {

// Plots go into the analysis folder dirpath/nmdr under their titles, charts into its
// threshold folder (made when missing), each as <name>.<FigExt>. Only the figure format
// "fig" is written here; pictures need a renderer.
class FigureFiles : public GraphicSink, public ChartSink {
public:
    FigureFiles(Session& session, Dialogs& dialogs) : session_(session), dialogs_(dialogs) {}

    void graphic(const GraphicCall& call) override;
    void chart(const ChartRequest& request) override;

    std::size_t written() const { return written_; }

private:
    Session& session_;
    Dialogs& dialogs_;
    std::size_t written_ = 0;
};

}  // namespace orvane

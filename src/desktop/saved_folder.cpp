// Choosing the folder of a saved analysis to browse in the results window.
#include "analysis/output_folder.h"
#include "analysis/result_files.h"
#include "desktop/controls.h"
#include "desktop/result_source.h"
#include "desktop/results_internal.h"
#include "desktop/results_window.h"

#include "base/text.h"

#include <QBoxLayout>
#include <QLabel>
#include <qcustomplot.h>

#include <algorithm>

#include <filesystem>

namespace orvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kNoFolderCaption = "Folder 1";
constexpr const char* kLoadedFolderTag = "loadedFolder";

}  // namespace

// Below the folder button: which folder the plots read, its path shortened in the middle to
// the column's width (in full as the tooltip).
void ResultsWindow::showLoadedFolder(const std::string& folder)
{
    auto* label = widget()->findChild<QLabel*>(kLoadedFolderTag);
    if (!label) {
        label = new QLabel(widget());
        label->setObjectName(kLoadedFolderTag);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);  // a long path never widens the column
        label->setStyleSheet(QStringLiteral("color: palette(dark);"));
        QWidget* button = h_["pushbutton2"];
        for (QBoxLayout* layout : widget()->findChildren<QBoxLayout*>())
            if (const int at = layout->indexOf(button); at >= 0) {
                layout->insertWidget(at + 1, label);
                break;
            }
    }
    const QString path = QString::fromStdString(escapeControlCharacters(folder));
    label->setToolTip(path);
    h_["pushbutton2"]->setToolTip(folder.empty() ? QStringLiteral("Choose the folder of a saved analysis") : path);
    const int width = std::max(h_["pushbutton2"]->width(), 120);
    label->setText(label->fontMetrics().elidedText(path, Qt::ElideMiddle, width));
    label->setVisible(!folder.empty());
}

void ResultsWindow::disablePlotSelections()
{
    const Handles& h = h_;
    for (const PlotSelection& p : kPlotSelections) {
        setValue(h[p.tag], 0);
        setEnable(h[p.tag], Enable::Off);
    }
}

// Selectors 1 … N_DATA shown and usable, the rest hidden.
void ResultsWindow::showSelectors(std::size_t N_DATA)
{
    const Handles& h = h_;
    for (const char* tag : {"text14", kSetSelectors[0], kSetSelectors[1]}) {
        h[tag]->setVisible(true);
        setEnable(h[tag], Enable::On);
    }
    for (std::size_t k = 3; k <= kSetSelectors.size(); ++k) h[kSetSelectors[k - 1]]->setVisible(false);
    if (N_DATA < 3) return;  // two sets keep their selections
    for (std::size_t k = 3; k <= kSetSelectors.size(); ++k) {
        QWidget* selector = h[kSetSelectors[k - 1]];
        selector->setVisible(k <= N_DATA);
        setEnable(selector, k <= N_DATA ? Enable::On : Enable::Off);
    }
    for (const char* tag : kSetSelectors) setValue(h[tag], 0);
}

// No usable result file in the chosen folder.
void ResultsWindow::forgetFolder()
{
    const Handles& h = h_;
    setValue(h["radiobutton39"], 0);
    setEnable(h["radiobutton39"], Enable::Off);
    disablePlotSelections();
    setString(h["pushbutton2"], kNoFolderCaption);
    // Nothing to plot from: the choices of the folder before go with it.
    for (const char* tag : kSetSelectors) {
        setValue(h[tag], 0);
        setEnable(h[tag], Enable::Off);
    }
    setEnable(h["pushbutton44"], Enable::Off);
    h["pushbutton20"]->setVisible(false);
    showLoadedFolder({});
    ds_.session.Dest1 = "0";
    ds_.session.T = 0;
    setPlotBox(*h.get<QCustomPlot>("axes3"), false);
    h.get<QCustomPlot>("axes3")->replot();
}

void ResultsWindow::chooseSavedFolder()
{
    const Handles& h = h_;
    Session& s = ds_.session;
    const std::string previous = s.folder1;
    s.folder1.clear();
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    s.folder1 = ds_.choosers->chooseFolder("Select a folder", ec ? std::string() : here.string());

    if (s.folder1.empty()) {
        // Cancelling changes nothing else: the loaded folder stays the one the plots read.
        s.folder1 = previous;
        // With a folder loaded its original-data windows are forgotten, not closed.
        if (stringOf(h["pushbutton2"]) != kNoFolderCaption) forgetOriginalDataWindows();
        return;
    }
    h["pushbutton44"]->setVisible(true);

    const fs::path folder(s.folder1);
    if (isIncompleteAnalysis(folder))
        ds_.dialogs->warning("This analysis did not finish: the files in " + folder.string() +
                                 " may be incomplete or missing.",
                             kWarningTitle);
    std::string caption;
    fs::path file;
    if (fs::is_regular_file(folder / kMagnitudeAnalysisFile, ec)) {
        file = folder / kMagnitudeAnalysisFile;
        caption = "Magnitude Analysis";
    } else if (fs::is_regular_file(folder / kPhaseAnalysisFile, ec)) {
        file = folder / kPhaseAnalysisFile;
        caption = "Phase Analysis";
    } else {
        ds_.dialogs->warning(".mat file not available!!", kWarningTitle);
        forgetFolder();
        return;
    }

    std::size_t N_DATA = 0;
    try {
        N_DATA = ResultFile(file).dataSets();
    } catch (const std::exception& e) {
        warnUnreadable(e);
        forgetFolder();
        return;
    }
    s.N_DATA = N_DATA;
    setString(h["pushbutton2"], caption);
    showLoadedFolder(s.folder1);
    setEnable(h["pushbutton44"], Enable::On);
    h["pushbutton20"]->setVisible(true);
    h["pushbutton45"]->setVisible(true);
    s.T = 0;
    s.Dest1 = "1";
    showSelectors(N_DATA);
    disablePlotSelections();
}

}  // namespace orvane

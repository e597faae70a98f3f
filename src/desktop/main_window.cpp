#include "desktop/main_window.h"

#include "analysis/driver.h"
#include "analysis/figure_files.h"
#include "analysis/readme.h"
#include "desktop/controls.h"
#include "desktop/desktop_ui.h"
#include "desktop/layouts.h"
#include "desktop/readme_window.h"
#include "desktop/results_window.h"

#include <algorithm>
#include <filesystem>

namespace orvane {

MainWindow::MainWindow(DesktopSession& ds, QWidget* widget) : LayoutWindow(ds, widget)
{
    bind({
        {"radiobutton3", [this](QWidget*) { domainToggled("radiobutton4", valueOf(h_["radiobutton3"]) == 1); }},
        {"radiobutton4", [this](QWidget*) { domainToggled("radiobutton3", valueOf(h_["radiobutton4"]) == 1); }},
        {"pushbutton3", [this](QWidget*) { startAnalysis(); }},
        {"pushbutton4", [this](QWidget*) { quit(); }},
        {"pushbutton5", [this](QWidget*) { browseResults(); }},
        {"pushbutton6", [](QWidget*) { showProgramReadMe(); }},
    });
}

MainWindow& MainWindow::open(DesktopSession& ds)
{
    std::error_code ec;
    ds.session.startFolder = std::filesystem::current_path(ec).string();
    QWidget* figure1 = openLayout("orvane");
    if (!ds.mainWindow || ds.mainWindow->widget() != figure1) ds.mainWindow = new MainWindow(ds, figure1);
    MainWindow& w = *ds.mainWindow;
    figure1->setWindowTitle(QStringLiteral("Orvane"));
    w.reset();
    w.restorePreviousDomain();
    figure1->show();
    figure1->raise();
    return w;
}

void MainWindow::reset()
{
    setValue(h_["radiobutton3"], 0);
    setEnable(h_["radiobutton3"], Enable::On);
    setValue(h_["radiobutton4"], 0);
    setEnable(h_["radiobutton4"], Enable::On);
    setEnable(h_["pushbutton3"], Enable::Off);
    setEnable(h_["pushbutton5"], Enable::On);
    setEnable(h_["pushbutton6"], Enable::On);
}

void MainWindow::restorePreviousDomain()
{
    const bool anyFile = std::any_of(ds_.previousFiles.begin(), ds_.previousFiles.end(),
                                     [](const std::string& f) { return !f.empty(); });
    if (!anyFile || (ds_.previousDomain != 0 && ds_.previousDomain != 1)) return;
    const bool time = ds_.previousDomain == static_cast<int>(Domain::Time);
    setValue(h_[time ? "radiobutton3" : "radiobutton4"], 1);
    domainToggled(time ? "radiobutton4" : "radiobutton3", true);
}

// Keeps the choices of a run that did not finish for the next start; a finished run clears them.
void MainWindow::rememberChoices(Domain domain, bool finished)
{
    if (finished) {
        ds_.previousFiles.fill(std::string());
        ds_.previousDomain = -1;
    } else {
        ds_.previousDomain = static_cast<int>(domain);
    }
}

void MainWindow::domainToggled(const std::string& other, bool selected)
{
    setEnable(h_[other], selected ? Enable::Off : Enable::On);
    setEnable(h_["pushbutton3"], selected ? Enable::On : Enable::Off);
    setEnable(h_["pushbutton5"], selected ? Enable::Off : Enable::On);
    setEnable(h_["pushbutton6"], selected ? Enable::Off : Enable::On);
}

void MainWindow::closeOriginalDataWindows()
{
    if (ds_.resultsWindow) ds_.resultsWindow->forgetOriginalDataWindows();
}

void MainWindow::startAnalysis()
{
    QWidget* figure1 = widget();
    figure1->hide();
    // The session may outlive this window (a new main window opens at the end).
    DesktopSession& ds = ds_;
    Session& session = ds.session;
    DesktopUi ui(ds);
    FigureFiles files(session, ui);
    SessionOutcome outcome = SessionOutcome::Stopped;
    const Domain domain = valueOf(h_["radiobutton3"]) == 1 ? Domain::Time : Domain::Frequency;
    try {
        outcome = runAnalysisSession(session, domain, ui, FigureSinks{&files, &files});
    } catch (...) {
        // The error is shown by the handler's dispatch; the main window must not stay hidden.
        rememberChoices(domain, false);
        closeOriginalDataWindows();
        open(ds);
        throw;
    }
    rememberChoices(domain, outcome == SessionOutcome::Finished);
    if (outcome != SessionOutcome::NoCommonRange) {
        const std::string answer = ds.dialogs->question(
            Question("Do you want?", "FSV Analysis Ended", {"Load New Data", "Plot Results"}, "Plot Results"));
        if (answer == "Plot Results") {
            closeOriginalDataWindows();
            deleteWindow(figure1);
            ResultsWindow::open(ds);
            return;
        }
        // "Load New Data", or the question closed without an answer: back to the main window.
    }
    closeOriginalDataWindows();
    open(ds);
}

void MainWindow::quit()
{
    setEnable(h_["radiobutton3"], Enable::On);
    setValue(h_["radiobutton3"], 0);
    setEnable(h_["radiobutton4"], Enable::On);
    setValue(h_["radiobutton4"], 0);
    setEnable(h_["pushbutton3"], Enable::Off);
    deleteWindow(widget());
}

void MainWindow::browseResults()
{
    DesktopSession& ds = ds_;
    deleteWindow(widget());
    ds.session.T = 0;
    ResultsWindow::open(ds);
}

}  // namespace orvane

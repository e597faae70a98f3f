#include "desktop/main_window.h"

#include "desktop/desktop.h"
#include "desktop/desktop_ui.h"
#include "analysis/driver.h"
#include "analysis/readme.h"
#include "analysis/figure_files.h"
#include "desktop/callbacks.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "desktop/results_window.h"

#include <filesystem>

namespace orvane {

namespace {

// What each control allows once a domain radio button was toggled to `selected`.
void domainToggled(const Handles& h, const std::string& other, bool selected)
{
    setEnable(h[other], selected ? Enable::Off : Enable::On);
    setEnable(h["pushbutton3"], selected ? Enable::On : Enable::Off);
    setEnable(h["pushbutton5"], selected ? Enable::Off : Enable::On);
    setEnable(h["pushbutton6"], selected ? Enable::Off : Enable::On);
}

void closeOriginalDataWindows()
{
    desktop().FigOrig = nullptr;
    desktop().FigOrig1 = nullptr;
}

void startAnalysis(const Handles& h)
{
    QWidget* figure1 = h.window();
    figure1->hide();
    Session& session = desktop().session;
    DesktopUi ui;
    FigureFiles files(session, ui);
    SessionOutcome outcome = SessionOutcome::Stopped;
    try {
        const Domain domain = valueOf(h["radiobutton3"]) == 1 ? Domain::Time : Domain::Frequency;
        outcome = runAnalysisSession(session, domain, ui, FigureSinks{&files, &files});
    } catch (...) {
        // The error is shown by the callback dispatch; the main window must not stay hidden.
        closeOriginalDataWindows();
        openMainWindow();
        throw;
    }
    if (outcome != SessionOutcome::NoCommonRange) {
        const std::string answer = desktop().dialogs->question(
            Question("Do you want?", "FSV Analysis Ended", {"Load New Data", "Plot Results"}, "Plot Results"));
        if (answer == "Plot Results") {
            deleteWindow(figure1);
            closeOriginalDataWindows();
            results();
            return;
        }
        // "Load New Data", or the question closed without an answer: back to the main window.
    }
    closeOriginalDataWindows();
    openMainWindow();
}

}  // namespace

QWidget* openMainWindow()
{
    std::error_code ec;
    desktop().session.startFolder = std::filesystem::current_path(ec).string();
    QWidget* figure1 = openLayout("orvane");
    figure1->setWindowTitle(QStringLiteral("Orvane"));
    const Handles handles(figure1);
    if (!figure1->property("orvaneConnected").toBool()) {
        connectCallbacks(figure1);
        figure1->setProperty("orvaneConnected", true);
    }
    setValue(handles["radiobutton3"], 0);
    setEnable(handles["radiobutton3"], Enable::On);
    setValue(handles["radiobutton4"], 0);
    setEnable(handles["radiobutton4"], Enable::On);
    setEnable(handles["pushbutton3"], Enable::Off);
    setEnable(handles["pushbutton5"], Enable::On);
    setEnable(handles["pushbutton6"], Enable::On);
    attachHandles(figure1, handles);
    figure1->show();
    figure1->raise();
    return figure1;
}

void registerMainWindowCallbacks()
{
    registerCallback("radiobutton3_Callback", [](QWidget*, const Handles& h) {
        domainToggled(h, "radiobutton4", valueOf(h["radiobutton3"]) == 1);
    });
    registerCallback("radiobutton4_Callback", [](QWidget*, const Handles& h) {
        domainToggled(h, "radiobutton3", valueOf(h["radiobutton4"]) == 1);
    });
    registerCallback("pushbutton3_Callback", [](QWidget*, const Handles& h) { startAnalysis(h); });
    registerCallback("pushbutton4_Callback", [](QWidget*, const Handles& h) {
        setEnable(h["radiobutton3"], Enable::On);
        setValue(h["radiobutton3"], 0);
        setEnable(h["radiobutton4"], Enable::On);
        setValue(h["radiobutton4"], 0);
        setEnable(h["pushbutton3"], Enable::Off);
        deleteWindow(h.window());
    });
    registerCallback("pushbutton5_Callback", [](QWidget*, const Handles& h) {
        deleteWindow(h.window());
        desktop().session.T = 0;
        results();
    });
    registerCallback("pushbutton6_Callback", [](QWidget*, const Handles&) { openReadMe(desktop().session.startFolder); });
}

}  // namespace orvane

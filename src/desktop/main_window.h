// The main window: choice of the domain, start of an analysis, browsing saved results,
// the read-me, quit.
#pragma once

#include "analysis/driver.h"
#include "desktop/layout_window.h"

namespace orvane {

class MainWindow : public LayoutWindow {
public:
    // orvane without arguments: records startFolder, opens (or shows again) the main window
    // with its controls reset.
    static MainWindow& open(DesktopSession& ds);

private:
    MainWindow(DesktopSession& ds, QWidget* widget);
    void reset();
    void restorePreviousDomain();
    void rememberChoices(Domain domain, bool finished);
    // What each control allows once a domain radio button was toggled to `selected`.
    void domainToggled(const std::string& other, bool selected);
    void startAnalysis();
    void quit();
    void browseResults();
    void closeOriginalDataWindows();
};

}  // namespace orvane

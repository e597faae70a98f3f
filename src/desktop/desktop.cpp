#include "desktop/desktop.h"

#include "desktop/color_code_chart_window.h"
#include "desktop/loadata.h"
#include "desktop/main_window.h"
#include "desktop/qt_dialogs.h"
#include "desktop/results_window.h"

namespace orvane {

DesktopSession::DesktopSession()
    : qtDialogs_(std::make_unique<QtDialogs>()), qtChoosers_(std::make_unique<QtChoosers>())
{
    useQtDialogs();
}

namespace {

template <class W> void deleteWidgetOf(const QPointer<W>& window)
{
    if (window) delete window->widget();
}

}  // namespace

DesktopSession::~DesktopSession()
{
    // The results window first: it takes its original-data windows along.
    deleteWidgetOf(resultsWindow);
    deleteWidgetOf(chartWindow);
    deleteWidgetOf(dataWindow);
    deleteWidgetOf(mainWindow);
}

void DesktopSession::useQtDialogs()
{
    dialogs = qtDialogs_.get();
    choosers = qtChoosers_.get();
}

}  // namespace orvane

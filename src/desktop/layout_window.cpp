#include "desktop/layout_window.h"

namespace orvane {

LayoutWindow::LayoutWindow(DesktopSession& ds, QWidget* widget) : QObject(widget), ds_(ds), h_(widget) {}

void LayoutWindow::bind(HandlerTable handlers, const std::set<std::string>& stateOnly)
{
    DesktopSession* ds = &ds_;
    binding_ = bindCallbacks(widget(), std::move(handlers), stateOnly,
                             [ds](const std::string&, const std::string& message) { ds->dialogs->error(message, "Error"); });
}

}  // namespace orvane

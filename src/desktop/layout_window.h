// What every window built from a layout has: the desktop session, the record of its tagged
// controls, and its handlers bound once to those tags.
#pragma once

#include "desktop/callbacks.h"
#include "desktop/desktop.h"
#include "desktop/handles.h"

#include <QObject>

#include <set>
#include <string>

namespace orvane {

class LayoutWindow : public QObject {
public:
    QWidget* widget() const { return h_.window(); }
    const Handles& handles() const { return h_; }
    // How the layout and the handlers matched when they were bound.
    const BindingCheck& binding() const { return binding_; }

protected:
    // Lives as the widget's child, so it goes when the widget goes.
    LayoutWindow(DesktopSession& ds, QWidget* widget);
    // Binds the handlers to the layout's tags; an error ending one is shown in an error dialog.
    void bind(HandlerTable handlers, const std::set<std::string>& stateOnly = {});

    DesktopSession& ds_;
    Handles h_;

private:
    BindingCheck binding_;
};

}  // namespace orvane

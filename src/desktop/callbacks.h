// Routing of control callbacks by name: every control reaches "<tag>_Callback" through one
// entry, as the command line does.
#pragma once

#include "desktop/handles.h"

#include <functional>
#include <string>
#include <vector>

namespace orvane {

// A callback gets its control and the record of its window's controls.
using Callback = std::function<void(QWidget* control, const Handles& handles)>;

void registerCallback(const std::string& name, Callback callback);
bool hasCallback(const std::string& name);
// Every registered name, sorted.
std::vector<std::string> callbackNames();

// Runs the named callback. An orvane::Error (or any std::exception) escaping it is given
// to the error handler instead of reaching the event loop. Returns false when no callback
// has that name.
bool runCallback(const std::string& name, QWidget* control, const Handles& handles);

// What happens to an error that ends a callback: by default an error dialog.
using CallbackErrorHandler = std::function<void(const std::string& callback, const std::string& message)>;
void setCallbackErrorHandler(CallbackErrorHandler handler);

// Connects every tagged control of the window to "<tag>_Callback": buttons when clicked
// (radio buttons after the toggle), edit boxes when their text is committed, sliders when
// moved, list boxes when the selection changes. Controls without a registered callback
// stay unconnected.
void connectCallbacks(QWidget* window);

}  // namespace orvane

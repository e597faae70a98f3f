// loadata: the window in which the data files of an analysis are named, one per slot.
#pragma once

#include "analysis/session.h"
#include "desktop/handles.h"

#include <string>

namespace orvane {

// Opens the data-loading window and returns when it no longer exists. The chosen paths are
// in session.dataset.
void loadata(Session& session);

// Puts `path` into slot k (1 … 8) as choosing it does: box k shows it and is greyed, box
// k+1 is marked as the next to fill, and the session keeps it.
void fillSlot(Session& session, const Handles& handles3, int k, const std::string& path);

void registerDataWindowCallbacks();

}  // namespace orvane

// The results window: data set selectors, original data, the result plots, plot export and
// saved results folders.
#pragma once

#include <QWidget>

#include <chrono>

namespace orvane {

// results(): opens the results window for the analysis just run (T = 1 or 2) or for browsing
// a saved folder (T = 0). The controls stay hidden for the preparing pause first.
void results();

// results(1): shows the window again after the colour code chart window, with D and N_DATA
// reloaded from the current result file. Opens it anew if it is gone.
void results(int again);

void registerResultsWindowCallbacks();

// The close request of the original-data window and of its legend window: asks "Close
// Specified Figure?" and deletes the window on "Yes" where the results allow it.
void my_closereq(QWidget* window);

// How long the window shows only its "preparing" text after opening (2 s; tests shorten it).
void setResultsPreparingPause(std::chrono::milliseconds pause);

}  // namespace orvane

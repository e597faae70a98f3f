// loadata: the window in which the data files of an analysis are named, one per slot.
#pragma once

#include "desktop/layout_window.h"

#include <string>

namespace orvane {

class DataLoadingWindow : public LayoutWindow {
public:
    // Opens the data-loading window and returns when it no longer exists. The chosen paths
    // are in the session's dataset.
    static void run(DesktopSession& ds);
    // Opens it (or gives the open one back) without waiting.
    static DataLoadingWindow& open(DesktopSession& ds);

    // Puts `path` into slot k (1 … 8) as choosing it does: box k shows it and is greyed, box
    // k+1 is marked as the next to fill, and the session keeps it.
    void fillSlot(int k, const std::string& path);

private:
    DataLoadingWindow(DesktopSession& ds, QWidget* widget);
    void chooseSlot(int k);
    void chooseReference();
    void clearAll();
};

}  // namespace orvane

// loadata: the window in which the data files of an analysis are named, one per slot.
#pragma once

#include "desktop/layout_window.h"
#include "formats/data_set.h"

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
    // k+1 is marked as the next to fill, and the session keeps it with how to read it.
    void fillSlot(int k, const std::string& path, const ReadOptions& reading = {});
    // A chosen or dropped file: one that is not plain two-column text is previewed first, and
    // the slot is filled with the reading chosen there; false when the preview was cancelled.
    bool takeFile(int k, const std::string& path);

private:
    DataLoadingWindow(DesktopSession& ds, QWidget* widget);
    void chooseSlot(int k);
    void chooseReference();
    void clearAll();
};

}  // namespace orvane

#include "desktop/desktop.h"

#include "desktop/qt_dialogs.h"

namespace orvane {

namespace {
QtDialogs qtDialogs;
QtChoosers qtChoosers;
}  // namespace

Desktop& desktop()
{
    static Desktop d = [] {
        Desktop fresh;
        fresh.dialogs = &qtDialogs;
        fresh.choosers = &qtChoosers;
        return fresh;
    }();
    return d;
}

void useQtDialogs()
{
    desktop().dialogs = &qtDialogs;
    desktop().choosers = &qtChoosers;
}

}  // namespace orvane

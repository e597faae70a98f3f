#include "desktop/desktop_ui.h"

#include "desktop/menu_fsv.h"
#include "desktop/progress_window.h"
#include "desktop/loadata.h"

namespace orvane {

std::string DesktopUi::question(const Question& q) { return ds_.dialogs->question(q); }

void DesktopUi::warning(const std::string& message, const std::string& title)
{
    ds_.dialogs->warning(message, title);
}

void DesktopUi::error(const std::string& message, const std::string& title)
{
    ds_.dialogs->error(message, title);
}

int DesktopUi::menu(const std::string& header, const std::vector<std::string>& items)
{
    if (ds_.menu) return ds_.menu(header, items);
    return MenuFSV(header, items);
}

void DesktopUi::loadData(Session& session)
{
    DataLoadingWindow::run(ds_);
    // Kept until the run finishes, so that an input error does not cost the user the choices.
    ds_.previousFiles = session.dataset;
}

std::string DesktopUi::chooseFolder(const std::string& prompt, const std::string& start)
{
    return ds_.choosers->chooseFolder(prompt, start);
}

std::unique_ptr<Progress> DesktopUi::openProgress(const std::vector<std::string>& stages, const std::string& title)
{
    return multibar(stages, title);
}

}  // namespace orvane

#include "gui/savefigure.h"

#include "gui/figure_renderer.h"
#include "results/save_target.h"

namespace orvane {

std::filesystem::path savefigure(const Figure& fig, const std::string& name, const std::optional<std::string>& format)
{
    const SaveTarget target = resolveSaveTarget(name, format);
    renderFigureFile(fig, target.path, target.device);
    return target.path;
}

}  // namespace orvane

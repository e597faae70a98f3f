#include "render/savefigure.h"

#include "render/figure_renderer.h"
#include "render/raster_picture.h"
#include "figures/save_target.h"

#include <QPainter>
#include <qcustomplot.h>

namespace orvane {

std::filesystem::path savefigure(const Figure& fig, const std::string& name, const std::optional<std::string>& format)
{
    const SaveTarget target = resolveSaveTarget(name, format);
    renderFigureFile(fig, target.path, target.device);
    return target.path;
}

std::filesystem::path savefigure(QWidget& window, const std::string& name, const std::optional<std::string>& format)
{
    const SaveTarget target = resolveSaveTarget(name, format);
    QImage picture(window.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (QCustomPlot* plot : window.findChildren<QCustomPlot*>()) {
        if (plot->isHidden()) continue;
        const QRect at(plot->mapTo(&window, QPoint(0, 0)), plot->size());
        painter.drawPixmap(at.topLeft(), plot->toPixmap(at.width(), at.height()));
    }
    painter.end();
    writeRasterPicture(picture, target.path, target.device);
    return target.path;
}

}  // namespace orvane

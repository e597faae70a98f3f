// Text labels of a figure placed so that each stays readable, on screen and in every picture
// format: the figure keeps its anchors (where the method puts a label); only how a label
// sits at its anchor changes, in pixels, so the rule holds at any size.
#pragma once

#include "figures/figure.h"

#include <QRectF>
#include <qcustomplot.h>

#include <optional>
#include <span>

namespace orvane {

// A text item that never leaves the picture: drawn moved back inside when its box would
// cross the edge of the plot's viewport.
class ReadableText : public QCPItemText {
public:
    explicit ReadableText(QCustomPlot* plot) : QCPItemText(plot) {}

    // The box the text is drawn in, in pixels, after any move back inside (the box of a
    // rotated text is the rectangle around it). Valid once the plot has been laid out.
    QRectF drawnBox() const;

    // The marker the label names (plot coordinates): a label that would leave the picture on
    // the right goes to the other side of it instead of being pushed back over it.
    void setOwner(QPointF point) { owner_ = point; }

protected:
    void draw(QCPPainter* painter) override;

private:
    QPointF shiftInside() const;
    QRectF anchoredBox() const;

    std::optional<QPointF> owner_;
};

// Arranges labels already added to the plot, once its axis ranges are set:
// - a label turned by ±90° stands beside the vertical line through its anchor rather than
//   across it, `clearance` pixels away (clear of the markers on that line), on the side
//   towards the middle of the x range, so labels at either end stay inside the axes;
// - labels sharing one anchor are stacked one line apart, from the anchor towards the
//   middle of the axes, instead of being printed over each other;
// - an upright label just right of a marker on its line (`markers`, plot coordinates) is
//   that marker's name, and moves to its left side when there is no room on the right.
void arrangeLabels(std::span<ReadableText* const> labels, const QCPRange& x, const QCPRange& y, double clearance,
                   std::span<const QPointF> markers);

}  // namespace orvane

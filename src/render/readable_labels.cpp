#include "render/readable_labels.h"

#include <QFontMetricsF>
#include <QTransform>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace orvane {

// The rectangle around the text itself (without its padding), as QCPItemText lays it out.
QRectF ReadableText::anchoredBox() const
{
    const QMargins pad = padding();
    const QRectF text = QFontMetricsF(mainFont()).boundingRect(QRectF(), Qt::TextDontClip | textAlignment(), this->text());
    QRectF padded = text.adjusted(-pad.left(), -pad.top(), pad.right(), pad.bottom());
    padded.moveTopLeft(getTextDrawPoint(QPointF(0, 0), padded, positionAlignment()).toPoint());
    const QRectF inner = padded.adjusted(pad.left(), pad.top(), -pad.right(), -pad.bottom());
    const QPointF at = position->pixelPosition();
    QTransform turn;
    turn.translate(at.x(), at.y());
    turn.rotate(rotation());
    return turn.mapRect(inner);
}

QPointF ReadableText::shiftInside() const
{
    const QRectF inside = QRectF(parentPlot()->viewport()).adjusted(1, 1, -1, -1);
    QRectF box = anchoredBox();
    QPointF flip;
    if (owner_ && box.right() > inside.right()) {
        // Mirrored about the marker: the same gap, on its left.
        const double marker = position->keyAxis()->coordToPixel(owner_->x());
        flip.setX(2 * marker - box.left() - box.right());
        box.translate(flip);
    }
    const auto shift = [](double lo, double hi, double min, double max) {
        if (hi > max) return std::max(max - hi, min - lo);  // a box larger than the picture keeps its start
        if (lo < min) return min - lo;
        return 0.0;
    };
    return flip + QPointF(shift(box.left(), box.right(), inside.left(), inside.right()),
                          shift(box.top(), box.bottom(), inside.top(), inside.bottom()));
}

QRectF ReadableText::drawnBox() const
{
    return anchoredBox().translated(shiftInside());
}

void ReadableText::draw(QCPPainter* painter)
{
    const QPointF shift = shiftInside();
    if (shift.isNull()) {
        QCPItemText::draw(painter);
        return;
    }
    painter->save();
    painter->translate(shift);
    QCPItemText::draw(painter);
    painter->restore();
}

void arrangeLabels(std::span<ReadableText* const> labels, const QCPRange& x, const QCPRange& y, double clearance,
                   std::span<const QPointF> markers)
{
    // Labels by anchor, in the order they were drawn.
    std::map<std::pair<double, double>, std::vector<ReadableText*>> byAnchor;
    std::vector<std::vector<ReadableText*>*> groups;
    for (ReadableText* label : labels) {
        const QPointF at = label->position->coords();
        auto [it, fresh] = byAnchor.try_emplace({at.x(), at.y()});
        if (fresh) groups.push_back(&it->second);
        it->second.push_back(label);
    }

    const int gap = static_cast<int>(std::lround(std::max(0.0, clearance)));
    for (const std::vector<ReadableText*>* group : groups) {
        ReadableText* first = group->front();
        const QPointF at = first->position->coords();
        const double turn = std::remainder(first->rotation(), 360.0);  // -180 … 180, clockwise
        const bool vertical = std::abs(std::abs(turn) - 90) < 1e-6;
        const bool rightward = at.x() < x.center();
        if (std::abs(turn) < 1e-6) {
            // The nearest marker on the label's line, a little to its left, is the one it names.
            const QPointF* owner = nullptr;
            for (const QPointF& m : markers)
                if (m.y() == at.y() && m.x() < at.x() && at.x() - m.x() < x.size() / 10 && (!owner || m.x() > owner->x()))
                    owner = &m;
            if (owner)
                for (ReadableText* label : *group) label->setOwner(*owner);
        }
        if (vertical) {
            // Turned counter-clockwise (reads upwards) a text's top faces right; clockwise, left.
            const bool topFacesRight = turn < 0;
            const Qt::Alignment side = rightward == topFacesRight ? Qt::AlignTop : Qt::AlignBottom;
            for (ReadableText* label : *group) {
                label->setPositionAlignment(Qt::AlignLeft | side);
                label->setPadding(QMargins(0, gap, 0, gap));
            }
        }
        // Every further label one line further from the anchor, towards the middle.
        const double line = std::ceil(QFontMetricsF(first->font()).height()) + 1;
        for (std::size_t k = 1; k < group->size(); ++k) {
            QCPItemPosition* position = (*group)[k]->position;
            position->setType(QCPItemPosition::ptAbsolute);
            position->setParentAnchor(first->position);
            const double step = line * static_cast<double>(k);
            if (vertical)
                position->setCoords(rightward ? step : -step, 0);
            else
                position->setCoords(0, at.y() > y.center() ? step : -step);  // pixels grow downwards
        }
    }
}

}  // namespace orvane

#include "NeedleMeter.h"

#include "lum/LumBase.h"

#include <QPainter>

#include <algorithm>

namespace lum {

NeedleMeter::NeedleMeter(const MeterStyle& style, ProcessVarHandle pv, QList<int> channels,
                         int needleStyle, const std::array<Colorref, kMaxChannels>& colors)
    : Meter(style, pv, std::move(channels))
    , m_needleStyle(needleStyle >= kNeedleThinLine && needleStyle <= kNeedleLongHollowTriangle
                        ? needleStyle
                        : kNeedleThinLine)
    , m_colors(colors) {}

double NeedleMeter::hubRadius(const Dial& dial) const {
    return std::max(3.0, dial.radius * 0.07);
}

void NeedleMeter::drawDynamic(QPainter& p, QSizeF plotSize) const {
    const Dial dial = style().dialIn(plotSize);
    if (dial.radius <= 0.0)
        return;
    if (style().dynText) {
        const auto lines = readoutLines(channels().size() > 1 ? &m_colors : nullptr);
        readout().prepare(dial, style(), static_cast<int>(lines.size()));
        const double h = readout().height();
        const double distance = std::max(dial.radius * 0.42, hubRadius(dial) + h / 2 + 4.0);
        const double away = DialPainter::midAngle(style()) + 180.0;
        readout().draw(p, ScaleMap::pointAt(dial.center, distance, away), lines);
    }
    for (int ch : channels())
        drawNeedle(p, dial, style().scale.angleOf(value(ch)), drawingColor(m_colors[ch]));
    drawHub(p, dial);
}

bool NeedleMeter::filled() const {
    return m_needleStyle == kNeedleShortFilledTriangle ||
           m_needleStyle == kNeedleLongFilledTriangle;
}

// The pen the needle's shape is stroked with; only its width, cap and join matter for the
// outline, the colour is the caller's.
QPen NeedleMeter::needlePen(const Dial& dial, const QColor& color) const {
    const double r = dial.radius;
    switch (m_needleStyle) {
    case kNeedleThinLine:
        return QPen(color, std::max(1.5, r * 0.015), Qt::SolidLine, Qt::RoundCap);
    case kNeedleThickLine:
        return QPen(color, std::max(3.0, r * 0.045), Qt::SolidLine, Qt::RoundCap);
    default:
        return QPen(color, filled() ? 1.0 : 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
}

const NeedleMeter::Shape& NeedleMeter::shape(const Dial& dial) const {
    if (m_shape.radius == dial.radius)
        return m_shape;
    const double r = dial.radius;
    const bool longNeedle =
        m_needleStyle != kNeedleShortFilledTriangle && m_needleStyle != kNeedleShortHollowTriangle;
    const double length = r * (longNeedle ? 0.88 : 0.6);
    QPainterPath line;
    if (m_needleStyle == kNeedleThinLine || m_needleStyle == kNeedleThickLine) {
        line.moveTo(0, 0);
        line.lineTo(length, 0);
        m_shape.body.clear();
    } else {
        const double half = std::max(2.5, r * 0.06);
        m_shape.body = QPolygonF({QPointF(0, -half), QPointF(length, 0), QPointF(0, half)});
        line.addPolygon(m_shape.body);
        line.closeSubpath();
    }
    QPainterPathStroker stroker(needlePen(dial, Qt::black));
    // Flattened once, so that each repaint only fills a polygon.
    m_shape.outline = stroker.createStroke(line).simplified();
    m_shape.radius = r;
    return m_shape;
}

void NeedleMeter::drawNeedle(QPainter& p, const Dial& dial, double angle,
                             const QColor& color) const {
    const Shape& needle = shape(dial);
    p.save();
    p.translate(dial.center);
    p.rotate(-angle); // the needle is drawn along +x (angle 0); y grows downwards
    p.setPen(Qt::NoPen);
    if (filled()) {
        p.setBrush(color);
        p.drawPolygon(needle.body);
    }
    p.setBrush(filled() ? color.darker(140) : color);
    p.drawPath(needle.outline);
    p.restore();
}

// The hub never moves: it is copied from a picture when the painter allows.
void NeedleMeter::drawHub(QPainter& p, const Dial& dial) const {
    const double reach = hubRadius(dial) + 1.0;
    const QRectF area(dial.center - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach));
    m_hub.draw(p, area, dial.radius, [this, &dial](QPainter& q) { paintHub(q, dial); });
}

void NeedleMeter::paintHub(QPainter& p, const Dial& dial) const {
    const double hub = hubRadius(dial);
    p.setPen(QPen(QColor(30, 30, 30), 1.0));
    p.setBrush(QColor(70, 70, 70));
    p.drawEllipse(dial.center, hub, hub);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 170, 170));
    p.drawEllipse(dial.center, hub * 0.35, hub * 0.35);
}

} // namespace lum

#include "NeedleShape.h"

#include "lum/LumTypes.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>

namespace lum {

NeedleShape::NeedleShape(int style)
    : m_style(style >= kNeedleThinLine && style <= kNeedleLongHollowTriangle ? style
                                                                             : kNeedleThinLine) {}

bool NeedleShape::filled() const {
    return m_style == kNeedleShortFilledTriangle || m_style == kNeedleLongFilledTriangle;
}

QPen NeedleShape::pen(double radius, const QColor& color) const {
    switch (m_style) {
    case kNeedleThinLine:
        return QPen(color, std::max(1.5, radius * 0.015), Qt::SolidLine, Qt::RoundCap);
    case kNeedleThickLine:
        return QPen(color, std::max(3.0, radius * 0.045), Qt::SolidLine, Qt::RoundCap);
    default:
        return QPen(color, filled() ? 1.0 : 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    }
}

void NeedleShape::build(double radius) {
    const bool longNeedle =
        m_style != kNeedleShortFilledTriangle && m_style != kNeedleShortHollowTriangle;
    const double length = radius * (longNeedle ? 0.88 : 0.6);
    m_length = length;
    QPainterPath line;
    if (m_style == kNeedleThinLine || m_style == kNeedleThickLine) {
        m_body.clear();
        line.moveTo(0, 0);
        line.lineTo(length, 0);
    } else {
        const double half = std::max(2.5, radius * 0.06);
        m_body = QPolygonF({QPointF(0, -half), QPointF(length, 0), QPointF(0, half)});
        // Back to the first corner by a line, not by closing the path: that is how the
        // painter strokes a polygon.
        line.addPolygon(m_body);
        line.lineTo(m_body.first());
    }
    // Kept as the stroker gives it: a flattened or simplified outline fills other pixels.
    m_outline =
        filled() ? QPainterPath() : QPainterPathStroker(pen(radius, Qt::black)).createStroke(line);
    m_radius = radius;
}

void NeedleShape::draw(QPainter& p, QPointF center, double radius, double angle,
                       const QColor& color) {
    if (radius != m_radius)
        build(radius);
    p.save();
    p.translate(center);
    p.rotate(-angle); // y grows downwards
    if (filled()) {
        p.setPen(pen(radius, color.darker(140)));
        p.setBrush(color);
        p.drawPolygon(m_body);
    } else if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster) {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(m_outline);
    } else {
        // Printers, PDF and SVG keep the needle as the line or triangle it is.
        p.setPen(pen(radius, color));
        p.setBrush(Qt::NoBrush);
        if (m_body.isEmpty())
            p.drawLine(QPointF(0, 0), QPointF(m_length, 0));
        else
            p.drawPolygon(m_body);
    }
    p.restore();
}

} // namespace lum

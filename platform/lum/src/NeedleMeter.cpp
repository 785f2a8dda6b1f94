#include "NeedleMeter.h"

#include "lum/LumBase.h"

#include <QPainter>
#include <QPolygonF>

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
        const QFont font = DialPainter::readoutFont(dial, style(), static_cast<int>(lines.size()));
        const double h = DialPainter::readoutHeight(font, static_cast<int>(lines.size()));
        const double distance = std::max(dial.radius * 0.42, hubRadius(dial) + h / 2 + 4.0);
        const double away = DialPainter::midAngle(style()) + 180.0;
        DialPainter::drawReadout(p, ScaleMap::pointAt(dial.center, distance, away), lines, font);
    }
    for (int ch : channels())
        drawNeedle(p, dial, style().scale.angleOf(value(ch)), drawingColor(m_colors[ch]));
    drawHub(p, dial);
}

void NeedleMeter::drawNeedle(QPainter& p, const Dial& dial, double angle,
                             const QColor& color) const {
    const double r = dial.radius;
    const bool longNeedle =
        m_needleStyle != kNeedleShortFilledTriangle && m_needleStyle != kNeedleShortHollowTriangle;
    const double length = r * (longNeedle ? 0.88 : 0.6);
    p.save();
    p.translate(dial.center);
    p.rotate(-angle); // the needle is drawn along +x (angle 0); y grows downwards
    switch (m_needleStyle) {
    case kNeedleThinLine:
    case kNeedleThickLine: {
        const double width =
            m_needleStyle == kNeedleThinLine ? std::max(1.5, r * 0.015) : std::max(3.0, r * 0.045);
        p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(length, 0));
        break;
    }
    default: {
        const double half = std::max(2.5, r * 0.06);
        const QPolygonF shape({QPointF(0, -half), QPointF(length, 0), QPointF(0, half)});
        const bool hollow = m_needleStyle == kNeedleShortHollowTriangle ||
                            m_needleStyle == kNeedleLongHollowTriangle;
        p.setPen(QPen(hollow ? color : color.darker(140), hollow ? 1.6 : 1.0, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(color));
        p.drawPolygon(shape);
        break;
    }
    }
    p.restore();
}

void NeedleMeter::drawHub(QPainter& p, const Dial& dial) const {
    const double hub = hubRadius(dial);
    p.setPen(QPen(QColor(30, 30, 30), 1.0));
    p.setBrush(QColor(70, 70, 70));
    p.drawEllipse(dial.center, hub, hub);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 170, 170));
    p.drawEllipse(dial.center, hub * 0.35, hub * 0.35);
}

} // namespace lum

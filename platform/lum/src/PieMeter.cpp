#include "PieMeter.h"

#include "lum/LumBase.h"

#include <QPainter>

#include <algorithm>

namespace lum {

PieMeter::PieMeter(const MeterStyle& style, ProcessVarHandle pv, int channel, double scaleCenter,
                   Colorref color0, Colorref color1)
    : Meter(style, pv, {channel})
    , m_scaleCenter(style.scale.clamp(scaleCenter))
    , m_color0(color0)
    , m_color1(color1) {}

double PieMeter::pieRadius(const Dial& dial) const {
    return DialPainter::fillRadius(dial, style());
}

void PieMeter::drawStatic(QPainter& p, QSizeF plotSize) const {
    const Dial dial = style().dialIn(plotSize);
    const ScaleMap& s = style().scale;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 22));
    p.drawPath(DialPainter::pieSector(dial, pieRadius(dial), s.startAngle(), s.stopAngle()));
    Meter::drawStatic(p, plotSize);
}

void PieMeter::drawDynamic(QPainter& p, QSizeF plotSize, const QPixmap*) const {
    const Dial dial = style().dialIn(plotSize);
    if (dial.radius <= 0.0)
        return;
    const double v = value(channels().constFirst());
    const ScaleMap& s = style().scale;
    const QColor color = drawingColor(v >= m_scaleCenter ? m_color0 : m_color1);
    p.setPen(QPen(color.darker(140), 1.0));
    p.setBrush(color);
    p.drawPath(
        DialPainter::pieSector(dial, pieRadius(dial), s.angleOf(m_scaleCenter), s.angleOf(v)));
}

} // namespace lum

#include "ArcMeter.h"

#include "lum/LumBase.h"

#include <QPainter>

#include <algorithm>

namespace lum {

ArcMeter::ArcMeter(const MeterStyle& style, ProcessVarHandle pv, int channel, double scaleCenter,
                   Colorref color0, Colorref color1, double thickness)
    : Meter(style, pv, {channel})
    , m_scaleCenter(style.scale.clamp(scaleCenter))
    , m_color0(color0)
    , m_color1(color1)
    , m_thickness(std::clamp(thickness, 0.0, 1.0)) {}

std::pair<double, double> ArcMeter::band(const Dial& dial) const {
    const double outer = DialPainter::fillRadius(dial, style());
    return {outer, std::max(0.0, outer - m_thickness * dial.radius)};
}

void ArcMeter::drawStatic(QPainter& p, QSizeF plotSize) const {
    const Dial dial = style().dialIn(plotSize);
    const auto [outer, inner] = band(dial);
    if (outer > inner) {
        const ScaleMap& s = style().scale;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 28));
        p.drawPath(DialPainter::ringSector(dial, outer, inner, s.startAngle(), s.stopAngle()));
    }
    Meter::drawStatic(p, plotSize);
}

void ArcMeter::drawDynamic(QPainter& p, QSizeF plotSize, const QPixmap*) const {
    const Dial dial = style().dialIn(plotSize);
    if (dial.radius <= 0.0)
        return;
    const int ch = channels().constFirst();
    const double v = value(ch);
    const ScaleMap& s = style().scale;
    const auto [outer, inner] = band(dial);
    if (outer > inner) {
        const QColor color = drawingColor(v >= m_scaleCenter ? m_color0 : m_color1);
        p.setPen(QPen(color.darker(130), 1.0));
        p.setBrush(color);
        p.drawPath(
            DialPainter::ringSector(dial, outer, inner, s.angleOf(m_scaleCenter), s.angleOf(v)));
    }
    if (style().dynText) {
        const bool dome = std::abs(s.sweep()) <= 200.0;
        const QPointF at = dome ? ScaleMap::pointAt(dial.center, dial.radius * 0.22,
                                                    DialPainter::midAngle(style()))
                                : dial.center;
        readout().prepare(dial, style(), 1);
        readout().draw(p, at, readoutLines(nullptr));
    }
}

} // namespace lum

#include "NeedleMeter.h"

#include "lum/LumBase.h"

#include <QPainter>

#include <algorithm>

namespace lum {

NeedleMeter::NeedleMeter(const MeterStyle& style, ProcessVarHandle pv, QList<int> channels,
                         int needleStyle, const std::array<Colorref, kMaxChannels>& colors)
    : Meter(style, pv, std::move(channels))
    , m_needle(needleStyle)
    , m_colors(colors) {}

double NeedleMeter::hubRadius(const Dial& dial) const {
    return std::max(3.0, dial.radius * 0.07);
}

void NeedleMeter::drawDynamic(QPainter& p, QSizeF plotSize, const QPixmap* bareFace) const {
    const Dial dial = style().dialIn(plotSize);
    if (dial.radius <= 0.0)
        return;
    if (style().dynText) {
        const auto lines = readoutLines(channels().size() > 1 ? &m_colors : nullptr);
        readout().prepare(dial, style(), static_cast<int>(lines.size()));
        const double h = readout().height();
        const double distance = std::max(dial.radius * 0.42, hubRadius(dial) + h / 2 + 4.0);
        const double away = DialPainter::midAngle(style()) + 180.0;
        readout().draw(p, ScaleMap::pointAt(dial.center, distance, away), lines, bareFace);
    }
    for (int ch : channels()) {
        m_needle.draw(p, dial.center, dial.radius, style().scale.angleOf(value(ch)),
                      drawingColor(m_colors[ch]));
    }
    drawHub(p, dial);
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

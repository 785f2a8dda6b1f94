#include "Meter.h"

#include "lum/LumBase.h"
#include "lum/ScaleTicks.h"

#include <QPainter>

namespace lum {

Meter::Meter(const MeterStyle& style, ProcessVarHandle pv, QList<int> channels)
    : m_style(style)
    , m_pv(pv)
    , m_channels(std::move(channels)) {}

void Meter::takeValues(const ProcessVar& pv) {
    for (int ch = 0; ch < kMaxChannels; ++ch)
        m_values[ch] = pv.states.value(ch);
    m_levels = pv.states.levels();
    m_units = pv.units;
}

double Meter::value(int channel) const {
    return channel >= 0 && channel < kMaxChannels ? m_values[channel] : 0.0;
}

void Meter::drawBorder(QPainter& p, QSizeF plotSize) const {
    if (m_border)
        DialPainter::drawBorder(p, plotSize, *m_border);
}

void Meter::drawStatic(QPainter& p, QSizeF plotSize) const {
    const Dial dial = m_style.dialIn(plotSize);
    if (dial.radius <= 0.0)
        return;
    DialPainter::drawAlarmArcs(p, dial, m_style, m_levels);
    DialPainter::drawScaleArc(p, dial, m_style);
    DialPainter::drawTicks(p, dial, m_style);
    DialPainter::drawTickLabels(p, dial, m_style, labelPosition());
}

QList<ReadoutLine> Meter::readoutLines(const std::array<Colorref, kMaxChannels>* swatches) const {
    QList<ReadoutLine> lines;
    for (int ch : m_channels) {
        QString text = ScaleTicks::label(value(ch), m_style.dynPrecision);
        if (m_style.unitsFlag && !m_units.isEmpty())
            text += QLatin1Char(' ') + m_units;
        // The colour follows the value against the limits now in force, also before the
        // first update after a build has reported the state.
        const int state = std::clamp(m_levels.classify(value(ch)), 0, 2);
        ReadoutLine line{text, drawingColor(m_style.alarmColors[state]), QColor()};
        if (swatches)
            line.swatch = drawingColor((*swatches)[ch]);
        lines.append(line);
    }
    return lines;
}

} // namespace lum

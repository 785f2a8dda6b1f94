// A needle meter: one needle per shown channel, a hub and a readout.
#pragma once

#include "Meter.h"

namespace lum {

class NeedleMeter : public Meter {
public:
    NeedleMeter(const MeterStyle& style, ProcessVarHandle pv, QList<int> channels, int needleStyle,
                const std::array<Colorref, kMaxChannels>& colors);

    void drawDynamic(QPainter& p, QSizeF plotSize) const override;

protected:
    int labelPosition() const override { return style().labelPosition; }

private:
    void drawNeedle(QPainter& p, const Dial& dial, double angle, const QColor& color) const;
    void drawHub(QPainter& p, const Dial& dial) const;
    double hubRadius(const Dial& dial) const;

    int m_needleStyle;
    std::array<Colorref, kMaxChannels> m_colors;
};

} // namespace lum

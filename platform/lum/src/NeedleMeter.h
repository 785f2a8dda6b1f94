// A needle meter: one needle per shown channel, a hub and a readout.
#pragma once

#include "Meter.h"
#include "NeedleShape.h"
namespace lum {

class NeedleMeter : public Meter {
public:
    NeedleMeter(const MeterStyle& style, ProcessVarHandle pv, QList<int> channels, int needleStyle,
                const std::array<Colorref, kMaxChannels>& colors);

    void drawDynamic(QPainter& p, QSizeF plotSize, const QPixmap* bareFace) const override;

protected:
    int labelPosition() const override { return style().labelPosition; }

private:
    void drawHub(QPainter& p, const Dial& dial) const;
    double hubRadius(const Dial& dial) const;

    mutable NeedleShape m_needle; // keeps its outline for the dial's radius
    std::array<Colorref, kMaxChannels> m_colors;
};

} // namespace lum

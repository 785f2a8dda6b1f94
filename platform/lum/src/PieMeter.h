// A pie meter: a filled sector from the scale centre to the value.
#pragma once

#include "Meter.h"

namespace lum {

class PieMeter : public Meter {
public:
    PieMeter(const MeterStyle& style, ProcessVarHandle pv, int channel, double scaleCenter,
             Colorref color0, Colorref color1);

    void drawStatic(QPainter& p, QSizeF plotSize) const override;
    void drawDynamic(QPainter& p, QSizeF plotSize, const QPixmap* bareFace) const override;

private:
    double pieRadius(const Dial& dial) const;

    double m_scaleCenter;
    Colorref m_color0;
    Colorref m_color1;
};

} // namespace lum

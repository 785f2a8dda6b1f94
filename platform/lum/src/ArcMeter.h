// An arc meter: a band from the scale centre to the value, and a readout.
#pragma once

#include "Meter.h"

namespace lum {

class ArcMeter : public Meter {
public:
    ArcMeter(const MeterStyle& style, ProcessVarHandle pv, int channel, double scaleCenter,
             Colorref color0, Colorref color1, double thickness);

    void drawStatic(QPainter& p, QSizeF plotSize) const override;
    void drawDynamic(QPainter& p, QSizeF plotSize, const QPixmap* bareFace) const override;

private:
    /// Outer and inner radius of the value band.
    std::pair<double, double> band(const Dial& dial) const;

    double m_scaleCenter;
    Colorref m_color0;
    Colorref m_color1;
    double m_thickness;
};

} // namespace lum

// What a meter was created with: scale, geometry, ticks, labels, alarm arcs and readout.
#pragma once

#include "FontSpec.h"
#include "lum/ScaleMap.h"

#include <QPointF>
#include <QSizeF>

#include <array>
#include <optional>

namespace lum {

/// Positions given as fractions of the plot are kept within this many plot sizes.
inline constexpr double kMaxPositionFraction = 10.0;

/// Centre and radius of a dial in plot pixels.
struct Dial {
    QPointF center;
    double radius = 0.0;
};

struct MeterStyle {
    ScaleMap scale;
    double centerX = 0.5;
    double centerY = 0.5;
    double diameter = 0.5;
    double tickRelLength = 0.1;
    double tickStep = 2.0;
    int minorTicks = 3;
    int tickPosition = kTicksInside;
    int labelPosition = kTicksInside;
    int labelPrecision = 0;
    bool arcEnable = true;
    bool alarmArcsEnable = true;
    double alarmArcThickness = 0.1;
    /// Normal, high, low.
    std::array<Colorref, 3> alarmColors = {0x008000, 0x000080, 0x800000};
    FontSpec font;
    LineAttrs line;
    bool dynText = true;
    int dynPrecision = 1;
    bool unitsFlag = false;
    /// Outer ends of the low and high alarm arcs (the scale ends until set).
    double lowStart = 0.0;
    double highStop = 0.0;

    /// The dial in a plot of `size` pixels.
    Dial dialIn(QSizeF size) const;
    /// Thickness of the alarm-arc band in pixels (0 when alarm arcs are off).
    double alarmBand(const Dial& dial) const;
};

/// A border shape drawn behind a meter.
struct MeterBorder {
    double x = 0.5;
    double y = 0.5;
    double width = 0.8;
    double height = 0.8;
    Colorref fill = 0xFFFFFF;
    int style = kBorderRectangle;
    Colorref color = 0;
    int thickness = 1;
};

} // namespace lum

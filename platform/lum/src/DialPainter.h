// Drawing pieces shared by every meter type: border shapes, alarm arcs, scale arc, ticks,
// tick labels and the value readout.
#pragma once

#include "MeterStyle.h"
#include "lum/AlarmLevels.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QString>

class QPainter;

namespace lum {

struct ReadoutLine {
    QString text;
    QColor color;
    /// Shown as a small square before the text when valid (several channels).
    QColor swatch;
};

class DialPainter {
public:
    /// The ring sector between `innerRadius` and `outerRadius` from angle a0 to a1.
    static QPainterPath ringSector(const Dial& dial, double outerRadius, double innerRadius,
                                   double a0, double a1);
    /// The pie sector from the centre out to `radius` between angles a0 and a1.
    static QPainterPath pieSector(const Dial& dial, double radius, double a0, double a1);

    static void drawBorder(QPainter& p, QSizeF plotSize, const MeterBorder& border);
    static void drawAlarmArcs(QPainter& p, const Dial& dial, const MeterStyle& style,
                              const AlarmLevels& levels);
    static void drawScaleArc(QPainter& p, const Dial& dial, const MeterStyle& style);
    static void drawTicks(QPainter& p, const Dial& dial, const MeterStyle& style);
    static void drawTickLabels(QPainter& p, const Dial& dial, const MeterStyle& style,
                               int labelPosition);
    /// The readout font for a dial: the meter's face, bold, sized by the radius (smaller
    /// when the readout has several lines).
    static QFont readoutFont(const Dial& dial, const MeterStyle& style, int lines = 1);

    /// The angle half way along the scale's sweep.
    static double midAngle(const MeterStyle& style);

    /// Radial extent of the ticks: inward and outward of the scale arc, in pixels.
    static std::pair<double, double> tickExtent(const Dial& dial, const MeterStyle& style);
    /// Radius a filling (value arc, pie) may reach without covering ticks or alarm arcs.
    static double fillRadius(const Dial& dial, const MeterStyle& style);
};

} // namespace lum

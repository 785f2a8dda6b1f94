// Where the parts of the chart go inside its rectangle: the plot area between the axes'
// labels and titles, and where each value axis stands along the time axis.
#pragma once

#include "ChartSettings.h"

#include <QFont>
#include <QRect>
#include <QRectF>
#include <vector>

namespace trazoplot {

struct ChartFonts {
    QFont label;
    QFont title;
    static ChartFonts standard();
};

class ChartLayout {
public:
    static constexpr int kTick = 5;
    static constexpr int kGap = 4;
    // Room above the plot for the legend, and for a panel the container may lay over the
    // chart's top-left corner: the top value label stands clear of it.
    static constexpr int kTopMargin = 58;
    static constexpr int kMinPlot = 10;
    // Least distance between neighbouring labels along each axis.
    static constexpr double kMinTickGapX = 56.0;
    static constexpr double kMinTickGapY = 22.0;

    ChartLayout(const QRect& bounds, const ChartSettings& settings, const ChartFonts& fonts);

    QRect bounds() const { return m_bounds; }
    QRectF plot() const { return m_plot; }
    // Pixel column of a value axis (slot 1 left, 2 right) from its position on the time axis.
    double axisX(const AxisSettings& axis) const;
    // True when the axis's labels go to its left (it stands in the left half).
    bool labelsLeft(const AxisSettings& axis) const;

    // Where the axis stands, 0 at the time axis's lower end and 1 at its upper end.
    double fraction(const AxisSettings& axis) const;

    // The labelled ticks of a value axis over the plot's height, and of the time axis over
    // [fromMinutes, toMinutes] across its width.
    std::vector<double> valueTicks(const AxisSettings& axis) const;
    std::vector<double> timeTicks(const AxisSettings& axis, double fromMinutes,
                                  double toMinutes) const;

private:
    double valueAxisMargin(const AxisSettings& axis, const ChartFonts& fonts,
                           double plotHeight) const;

    QRect m_bounds;
    QRectF m_plot;
    double m_timeFrom;
    double m_timeTo;
};

} // namespace trazoplot

#include "ChartLayout.h"

#include "ScaleMath.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace trazoplot {

ChartFonts ChartFonts::standard() {
    ChartFonts f;
    f.label = QFont(QStringLiteral("DejaVu Sans"));
    f.label.setPixelSize(11);
    f.title = f.label;
    f.title.setPixelSize(12);
    f.title.setBold(true);
    return f;
}

ChartLayout::ChartLayout(const QRect& bounds, const ChartSettings& settings,
                         const ChartFonts& fonts)
    : m_bounds(bounds)
    , m_timeFrom(settings.timeAxis().minimum)
    , m_timeTo(settings.timeAxis().maximum) {
    const QFontMetricsF label(fonts.label);
    const QFontMetricsF title(fonts.title);
    // Below the plot: ticks, labels and the title, all whole inside the bounds.
    const double bottom = settings.timeAxis().visible
                              ? kTick + kGap + label.height() + 2 * kGap + title.height() + kGap
                              : 12.0 + label.height() / 2;
    const double top = std::min<double>(kTopMargin, bounds.height() / 4.0);
    const double height = std::max(bounds.height() - top - bottom, double(kMinPlot));
    // Each value axis needs room on the side its labels go to.
    double left = 12.0;
    double right = 12.0;
    for (const AxisSettings* a : {&settings.leftAxis(), &settings.rightAxis()}) {
        double& side = fraction(*a) < 0.5 ? left : right;
        side = std::max(side, valueAxisMargin(*a, fonts, height));
    }
    // The first and last time labels are centred on the plot's ends: room for half of one.
    if (settings.timeAxis().visible) {
        const double half = label.horizontalAdvance(ScaleMath::hoursMinutes(
                                std::max(std::abs(m_timeFrom), std::abs(m_timeTo)))) /
                                2 +
                            2.0;
        left = std::max(left, half);
        right = std::max(right, half);
    }
    const double width = std::max(bounds.width() - left - right, double(kMinPlot));
    m_plot = QRectF(bounds.left() + std::round(left), bounds.top() + std::round(top),
                    std::round(width), std::round(height));
}

double ChartLayout::valueAxisMargin(const AxisSettings& axis, const ChartFonts& fonts,
                                    double plotHeight) const {
    if (!axis.visible)
        return 12.0;
    const QFontMetricsF label(fonts.label);
    const QFontMetricsF title(fonts.title);
    double widest = 0.0;
    for (double v :
         ScaleMath::valueTicks(axis.minimum, axis.maximum, axis.step, plotHeight, kMinTickGapY))
        widest = std::max(widest, label.horizontalAdvance(ScaleMath::valueLabel(v)));
    return kTick + kGap + widest + 2 * kGap + title.height() + kGap;
}

std::vector<double> ChartLayout::valueTicks(const AxisSettings& axis) const {
    return ScaleMath::valueTicks(axis.minimum, axis.maximum, axis.step, m_plot.height(),
                                 kMinTickGapY);
}

std::vector<double> ChartLayout::timeTicks(const AxisSettings& axis, double fromMinutes,
                                           double toMinutes) const {
    return ScaleMath::timeTicks(fromMinutes, toMinutes, axis.step, m_plot.width(), kMinTickGapX);
}

double ChartLayout::fraction(const AxisSettings& axis) const {
    const double span = m_timeTo - m_timeFrom;
    const double f = std::abs(span) > 0.0 ? (axis.position - m_timeFrom) / span : 0.0;
    return std::clamp(std::isfinite(f) ? f : 0.0, 0.0, 1.0);
}

double ChartLayout::axisX(const AxisSettings& axis) const {
    return m_plot.left() + fraction(axis) * m_plot.width();
}

bool ChartLayout::labelsLeft(const AxisSettings& axis) const {
    return fraction(axis) < 0.5;
}

} // namespace trazoplot

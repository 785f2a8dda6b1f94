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
    // Each value axis needs room on the side its labels go to.
    double left = 12.0;
    double right = 12.0;
    for (const AxisSettings* a : {&settings.leftAxis(), &settings.rightAxis()}) {
        double& side = fraction(*a) < 0.5 ? left : right;
        side = std::max(side, valueAxisMargin(*a, fonts));
    }
    const QFontMetricsF label(fonts.label);
    const QFontMetricsF title(fonts.title);
    const double bottom = settings.timeAxis().visible
                              ? kTick + kGap + label.height() + 2 * kGap + title.height() + kGap
                              : 12.0;
    const double top = std::min<double>(kTopMargin, bounds.height() / 4.0);
    const double width = std::max(bounds.width() - left - right, double(kMinPlot));
    const double height = std::max(bounds.height() - top - bottom, double(kMinPlot));
    m_plot = QRectF(bounds.left() + std::round(left), bounds.top() + std::round(top),
                    std::round(width), std::round(height));
}

double ChartLayout::valueAxisMargin(const AxisSettings& axis, const ChartFonts& fonts) const {
    if (!axis.visible)
        return 12.0;
    const QFontMetricsF label(fonts.label);
    const QFontMetricsF title(fonts.title);
    double widest = 0.0;
    for (double v : ScaleMath::ticks(axis.minimum, axis.maximum, axis.step, 400.0, 18.0))
        widest = std::max(widest, label.horizontalAdvance(ScaleMath::valueLabel(v)));
    return kTick + kGap + widest + 2 * kGap + title.height() + kGap;
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

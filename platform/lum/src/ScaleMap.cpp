#include "lum/ScaleMap.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lum {

ScaleMap::ScaleMap(double min, double max, double startDeg, double stopDeg)
    : m_min(min)
    , m_max(max) {
    const double a = std::isfinite(startDeg) ? startDeg : 0.0;
    const double b = std::isfinite(stopDeg) ? stopDeg : a;
    // The minimum sits at the larger angle; values run clockwise (towards smaller angles).
    m_start = std::max(a, b);
    m_sweep = -std::min(std::abs(b - a), 360.0);
}

double ScaleMap::fractionOf(double value) const {
    if (std::isnan(value) || !std::isfinite(m_min) || !std::isfinite(m_max))
        return 0.0;
    const double span = m_max - m_min;
    if (std::isfinite(span)) {
        // A zero or subnormal width is empty: nothing sensible divides by it.
        if (!std::isnormal(span))
            return 0.0;
        return std::clamp((value - m_min) / span, 0.0, 1.0);
    }
    // Limits near both ends of the double range: their width only fits when halved.
    const double half = m_max / 2 - m_min / 2;
    return std::clamp((value / 2 - m_min / 2) / half, 0.0, 1.0);
}

double ScaleMap::angleOf(double value) const {
    return m_start + fractionOf(value) * m_sweep;
}

double ScaleMap::clamp(double value) const {
    const double lo = std::min(m_min, m_max);
    const double hi = std::max(m_min, m_max);
    if (std::isnan(value))
        return lo;
    return std::clamp(value, lo, hi);
}

QPointF ScaleMap::pointAt(QPointF center, double radius, double angleDeg) {
    const double rad = angleDeg * std::numbers::pi / 180.0;
    return {center.x() + radius * std::cos(rad), center.y() - radius * std::sin(rad)};
}

} // namespace lum

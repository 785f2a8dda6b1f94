#include "MeterStyle.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

namespace lum {

namespace {

/// The box a dial of radius 1 covers around its pivot (y down): the points of its arc and the
/// pivot itself.
QRectF unitDialExtent(const ScaleMap& scale) {
    const double start = scale.startAngle();
    const double stop = scale.stopAngle(); // clockwise from start: stop <= start
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
    const auto include = [&](double angle) {
        const QPointF p = ScaleMap::pointAt(QPointF(0.0, 0.0), 1.0, angle);
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    };
    include(start);
    include(stop);
    // Every compass point the arc passes through widens the box.
    for (double a = 90.0 * std::floor(start / 90.0); a > stop; a -= 90.0) {
        if (a < start)
            include(a);
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

} // namespace

// The diameter is a fraction of the plot's smaller side and the centre is the dial's pivot.
// A narrow dial (less than half a circle) would leave most of that room empty, so it is
// scaled up to fill it, and the centre given is then the centre of what it covers.
Dial MeterStyle::dialIn(QSizeF size) const {
    const double side = std::min(size.width(), size.height());
    const QPointF middle(centerX * size.width(), centerY * size.height());
    if (std::abs(scale.sweep()) >= 180.0)
        return {middle, std::max(0.0, diameter * side / 2.0)};
    const QRectF unit = unitDialExtent(scale);
    const double span = std::max({unit.width(), unit.height(), 1.0});
    const double radius = std::max(0.0, diameter * side / span);
    return {middle - unit.center() * radius, radius};
}

double MeterStyle::alarmBand(const Dial& dial) const {
    if (!alarmArcsEnable)
        return 0.0;
    return std::clamp(alarmArcThickness, 0.0, 1.0) * dial.radius;
}

} // namespace lum

#include "MeterStyle.h"

#include <algorithm>
#include <cmath>

namespace lum {

Dial MeterStyle::dialIn(QSizeF size) const {
    const double side = std::min(size.width(), size.height());
    return {QPointF(centerX * size.width(), centerY * size.height()),
            std::max(0.0, diameter * side / 2.0)};
}

double MeterStyle::alarmBand(const Dial& dial) const {
    if (!alarmArcsEnable)
        return 0.0;
    return std::clamp(alarmArcThickness, 0.0, 1.0) * dial.radius;
}

} // namespace lum

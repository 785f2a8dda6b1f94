#include "lum/ScaleTicks.h"

#include <algorithm>
#include <cmath>

namespace lum {

namespace {

// Values this close to a tick position (relative to the step) count as on it.
constexpr double kSnap = 1e-9;

QList<ScaleTick> endTicks(double min, double max) {
    if (min == max)
        return {{min, true}};
    return {{min, true}, {max, true}};
}

} // namespace

QList<ScaleTick> ScaleTicks::compute(double min, double max, double step, int minorTicks) {
    if (!std::isfinite(min) || !std::isfinite(max))
        return {};
    const double span = std::abs(max - min);
    const int minors = std::clamp(minorTicks, 0, kMaxMinorTicks);
    if (!std::isfinite(step) || step <= 0.0 || span == 0.0 ||
        span / step * (minors + 1) > kMaxTicks)
        return endTicks(min, max);
    const double direction = max >= min ? 1.0 : -1.0;
    const double minorStep = step / (minors + 1);
    const auto count = static_cast<qsizetype>(std::floor(span / minorStep * (1.0 + kSnap) + kSnap));
    QList<ScaleTick> ticks;
    ticks.reserve(count + 1);
    for (qsizetype i = 0; i <= count; ++i) {
        double value = min + direction * minorStep * static_cast<double>(i);
        if (std::abs(value) < step * kSnap)
            value = 0.0;
        ticks.append({value, i % (minors + 1) == 0});
    }
    return ticks;
}

QString ScaleTicks::label(double value, int precision) {
    const int digits = std::clamp(precision, 0, 10);
    QString text = QString::number(value, 'f', digits);
    // A small negative value rounds to "-0" or "-0.00": show it without the sign.
    if (text.startsWith(QLatin1Char('-')) && text.mid(1).toDouble() == 0.0)
        text.remove(0, 1);
    return text;
}

qsizetype ScaleTicks::labelStride(const QList<QRectF>& boxes, bool wraps, double gap) {
    const auto clash = [&](qsizetype a, qsizetype b) {
        return boxes[a].adjusted(-gap, -gap, gap, gap).intersects(boxes[b]);
    };
    for (qsizetype stride = 1; stride < boxes.size(); ++stride) {
        bool fits = true;
        qsizetype last = 0;
        for (qsizetype i = stride; i < boxes.size() && fits; i += stride) {
            fits = !clash(last, i);
            last = i;
        }
        if (fits && wraps && last != 0)
            fits = !clash(last, 0);
        if (fits)
            return stride;
    }
    return std::max<qsizetype>(1, boxes.size());
}

} // namespace lum

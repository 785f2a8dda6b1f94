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

namespace {
// From here on a value is shown as 1.2e+15 rather than its sixteen or more digits.
constexpr double kLongestPlainValue = 1e15;
constexpr int kExponentDigits = 3;
} // namespace

QString ScaleTicks::label(double value, int precision) {
    const int digits = std::clamp(precision, 0, 10);
    // Huge values would print hundreds of digits: they take the short exponent form.
    if (std::abs(value) >= kLongestPlainValue && std::isfinite(value))
        return QString::number(value, 'e', std::min(digits, kExponentDigits));
    QString text = QString::number(value, 'f', digits);
    // A small negative value rounds to "-0" or "-0.00": show it without the sign.
    if (text.startsWith(QLatin1Char('-')) && text.mid(1).toDouble() == 0.0)
        text.remove(0, 1);
    return text;
}

qsizetype ScaleTicks::labelStride(const QList<QRectF>& boxes, bool wraps, double gap) {
    const qsizetype n = boxes.size();
    const auto fits = [&](qsizetype stride) {
        const auto clash = [&](qsizetype a, qsizetype b) {
            return boxes[a].adjusted(-gap, -gap, gap, gap).intersects(boxes[b]);
        };
        qsizetype last = 0;
        for (qsizetype i = stride; i < n; i += stride) {
            if (clash(last, i))
                return false;
            last = i;
        }
        return !(wraps && last != 0 && clash(last, 0));
    };
    qsizetype smallest = 1;
    while (smallest < n && !fits(smallest))
        ++smallest;
    if (smallest >= n)
        return std::max<qsizetype>(1, n);
    // On an open scale, a slightly larger stride that still ends on the last label (the
    // scale maximum) reads better than losing it.
    for (qsizetype stride = smallest; !wraps && stride <= 2 * smallest && stride < n; ++stride) {
        if ((n - 1) % stride == 0 && fits(stride))
            return stride;
    }
    return smallest;
}

} // namespace lum

#include "ScaleMath.h"

#include <algorithm>
#include <cmath>

namespace trazoplot {

LinearScale::LinearScale(double from, double to, double p0, double p1)
    : m_from(from)
    , m_to(to)
    , m_p0(p0) {
    // Both ends are halved before subtracting: the width of a range near the largest doubles
    // does not fit in one.
    const double halfWidth = to / 2 - from / 2;
    if (!(std::abs(halfWidth) > 0.0) || !std::isfinite((p1 - p0) / halfWidth)) {
        // One unit around the value, or more where one unit does not change it.
        const double half = std::max(0.5, std::abs(from) * 1e-9);
        m_from = from - half;
        m_to = from + half;
    }
    m_halfFactor = (p1 - p0) / (m_to / 2 - m_from / 2);
}

namespace {

// 1, 2, 5, 10, 20, 50, ... times the step until ticks are far enough apart.
double thinnedStep(double step, double span, double lengthPx, double minGapPx) {
    static constexpr double kFactors[] = {1.0, 2.0, 5.0};
    for (double decade = 1.0; decade < 1e12; decade *= 10.0) {
        for (double f : kFactors) {
            const double s = step * f * decade;
            const double count = span / s;
            if (count <= ScaleMath::kMaxTicks && (count <= 0.0 || lengthPx / count >= minGapPx))
                return s;
        }
    }
    return 0.0;
}

} // namespace

std::vector<double> ScaleMath::ticks(double from, double to, double step, double lengthPx,
                                     double minGapPx) {
    std::vector<double> out;
    if (!(step > 0.0) || !std::isfinite(from) || !std::isfinite(to) || !std::isfinite(step))
        return out;
    const double lo = std::min(from, to);
    const double hi = std::max(from, to);
    const double s = thinnedStep(step, hi - lo, std::max(lengthPx, 1.0), minGapPx);
    if (!(s > 0.0))
        return out;
    const double eps = s * 1e-9;
    for (double k = std::ceil((lo - eps) / s); k * s <= hi + eps; k += 1.0) {
        // Past 2^53 adding one no longer moves k, and far from zero neighbouring multiples
        // may round to one value: each value is taken once, and the walk ends where it stalls.
        if (out.empty() || k * s > out.back())
            out.push_back(k * s);
        if (k + 1.0 == k || std::ssize(out) > kMaxTicks)
            break;
    }
    return out;
}

QString ScaleMath::hoursMinutes(double minutes) {
    if (!std::isfinite(minutes))
        return QString();
    const double rounded = std::round(std::clamp(minutes, -1e15, 1e15));
    const long long total = static_cast<long long>(std::abs(rounded));
    const QString sign = rounded < 0 ? QStringLiteral("-") : QString();
    return sign + QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString ScaleMath::valueLabel(double value) {
    if (std::abs(value) < 1e-12)
        value = 0.0;
    return QString::number(value, 'g', 10);
}

} // namespace trazoplot

// Axis arithmetic: mapping values to pixels, choosing the ticks that fit, and the labels.
#pragma once

#include <QString>
#include <vector>

namespace trazoplot {

// A linear map of [from, to] onto pixels [p0, p1]. An empty or reversed range is allowed: a
// reversed one draws the axis upside down; an empty one, or one too narrow to spread over the
// pixels, is widened to one unit around it. Ranges up to the largest doubles map without
// overflow.
class LinearScale {
public:
    LinearScale(double from, double to, double p0, double p1);
    double toPixel(double value) const { return m_p0 + (value / 2 - m_from / 2) * m_halfFactor; }
    double toValue(double pixel) const {
        return m_halfFactor != 0.0 ? (m_from / 2 + (pixel - m_p0) / m_halfFactor) * 2 : m_from;
    }
    double from() const { return m_from; }
    double to() const { return m_to; }

private:
    double m_from;
    double m_to;
    double m_p0;
    double m_halfFactor; // pixels per half unit
};

class ScaleMath {
public:
    static constexpr int kMaxTicks = 500;
    // An axis shows at least this many labels where its length lets them stand apart.
    static constexpr int kMinLabels = 4;
    static constexpr int kMaxValueLabels = 8;
    static constexpr int kMaxTimeLabels = 12;

    // Ticks of a value axis over [from, to] (either order), in ascending order. The caller's
    // `step` is kept when it gives at least kMinLabels and no more than fit; otherwise the
    // finest step of 1, 2, 2.5 or 5 times a power of ten that keeps neighbours `minGapPx`
    // apart on an axis `lengthPx` long (and at most kMaxValueLabels labels).
    static std::vector<double> valueTicks(double from, double to, double step, double lengthPx,
                                          double minGapPx);
    // The same for a time axis in minutes, with steps of 1, 2, 5, 10, 15 and 30 minutes, 1, 2,
    // 3, 6 and 12 hours, then 1, 2, 3 and 7 days and multiples of a week.
    static std::vector<double> timeTicks(double fromMinutes, double toMinutes, double step,
                                         double lengthPx, double minGapPx);

    // Minutes as hours:minutes, "0:00", "1:30", "100:00"; rounded to the minute.
    static QString hoursMinutes(double minutes);
    // A value label in its shortest form ("20", "12.5", "-5"), never "-0".
    static QString valueLabel(double value);
};

} // namespace trazoplot

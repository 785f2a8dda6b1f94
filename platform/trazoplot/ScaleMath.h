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
    // Multiples of `step` inside [from, to] (either order), thinned to every 2nd, 5th, 10th...
    // multiple so that neighbours stand at least `minGapPx` apart on an axis `lengthPx` long.
    // Never more than kMaxTicks; none for a step that is not above zero.
    static constexpr int kMaxTicks = 500;
    static std::vector<double> ticks(double from, double to, double step, double lengthPx,
                                     double minGapPx);

    // Minutes as hours:minutes, "0:00", "1:30", "100:00"; rounded to the minute.
    static QString hoursMinutes(double minutes);
    // A value label in its shortest form ("20", "12.5", "-5"), never "-0".
    static QString valueLabel(double value);
};

} // namespace trazoplot

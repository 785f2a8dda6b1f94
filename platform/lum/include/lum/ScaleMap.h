// Maps scale values to dial angles and angles to points; no widgets involved.
#pragma once

#include <QPointF>

namespace lum {

/// A meter scale from `min` (at the start angle) to `max` (at the stop angle). Angles are
/// degrees clockwise from 9 o'clock (0 left, 90 up, 180 right). Reversed scales (min > max)
/// and sweeps in either direction work; the sweep is limited to one full turn.
class ScaleMap {
public:
    ScaleMap() = default;
    ScaleMap(double min, double max, double startDeg, double stopDeg);

    double min() const { return m_min; }
    double max() const { return m_max; }
    double startAngle() const { return m_start; }
    double stopAngle() const { return m_start + m_sweep; }
    double sweep() const { return m_sweep; }

    /// Position of `value` along the scale, 0 at min and 1 at max, clamped to 0..1
    /// (0 for an empty scale or a NaN value).
    double fractionOf(double value) const;
    /// The angle of `value`, clamped to the scale's ends.
    double angleOf(double value) const;
    /// `value` clamped into the scale's range.
    double clamp(double value) const;

    /// The point at `radius` from `center` in direction `angleDeg` (screen coordinates,
    /// y down).
    static QPointF pointAt(QPointF center, double radius, double angleDeg);
    /// The angle in Qt's convention (degrees counter-clockwise from 3 o'clock).
    static double toQtAngle(double angleDeg) { return 180.0 - angleDeg; }

private:
    double m_min = 0.0;
    double m_max = 1.0;
    double m_start = 0.0;
    double m_sweep = 180.0;
};

} // namespace lum

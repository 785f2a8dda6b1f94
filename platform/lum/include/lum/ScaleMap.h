// Maps scale values to dial angles and angles to points; no widgets involved.
#pragma once

#include <QPointF>

namespace lum {

/// A meter scale on the arc between two angles. Angles are degrees counter-clockwise from
/// 3 o'clock (0 right, 90 up, 180 left, 270 or -90 down). The scale minimum sits at the larger
/// of the two angles and values increase clockwise to the smaller one, whichever order the
/// two are given in: 0/180 is the half-circle gauge from left to right over the top, 135/45
/// the top quarter, -45/225 a 270-degree dial open at the bottom. The arc is limited to one
/// full turn; reversed scales (min > max) run the other way.
class ScaleMap {
public:
    ScaleMap() = default;
    ScaleMap(double min, double max, double startDeg, double stopDeg);

    double min() const { return m_min; }
    double max() const { return m_max; }
    /// The angle of the scale minimum (the larger angle).
    double startAngle() const { return m_start; }
    /// The angle of the scale maximum.
    double stopAngle() const { return m_start + m_sweep; }
    /// Signed extent from start to stop: never positive (clockwise), at most one turn.
    double sweep() const { return m_sweep; }

    /// Position of `value` along the scale, 0 at min and 1 at max, clamped to 0..1
    /// (0 for an empty scale, one too narrow to divide by, or a NaN value). Limits may lie
    /// anywhere in the finite double range, even when their difference would overflow.
    double fractionOf(double value) const;
    /// The angle of `value`, clamped to the scale's ends.
    double angleOf(double value) const;
    /// `value` clamped into the scale's range.
    double clamp(double value) const;

    /// The point at `radius` from `center` in direction `angleDeg` (screen coordinates,
    /// y down).
    static QPointF pointAt(QPointF center, double radius, double angleDeg);

private:
    double m_min = 0.0;
    double m_max = 1.0;
    double m_start = 0.0;
    double m_sweep = 180.0;
};

} // namespace lum

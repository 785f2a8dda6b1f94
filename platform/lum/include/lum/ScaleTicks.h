// Tick values and tick labels of a meter scale; no widgets involved.
#pragma once

#include <QList>
#include <QRectF>
#include <QString>

namespace lum {

struct ScaleTick {
    double value = 0.0;
    bool major = false;
};

class ScaleTicks {
public:
    /// Most ticks a scale produces; a step too small for that gives only the two ends.
    static constexpr int kMaxTicks = 2000;
    /// Most minor ticks between two major ticks.
    static constexpr int kMaxMinorTicks = 100;

    /// Major ticks every |step| from `min` towards `max` (both ends included when they fall
    /// on a step, within rounding), `minorTicks` minor ticks evenly between neighbouring
    /// major ticks and after the last one up to `max`. A step that is zero, negative, not
    /// finite or too small gives major ticks at the two ends only. Ordered from min to max.
    static QList<ScaleTick> compute(double min, double max, double step, int minorTicks);

    /// `value` with `precision` decimals (clamped 0..10), never "-0".
    static QString label(double value, int precision);

    /// A stride k such that showing every k-th label (0, k, 2k, ...) leaves no two shown
    /// boxes overlapping (nor the last and the first when the scale `wraps` round a full
    /// circle): the smallest one, unless a stride at most twice as large also shows the last
    /// label of an open scale. Boxes closer than `gap` pixels count as overlapping. At least 1.
    static qsizetype labelStride(const QList<QRectF>& boxes, bool wraps, double gap = 2.0);
};

} // namespace lum

// Turns the samples of one channel inside a time window into polyline points: every bucket of
// samples gives its minimum and maximum, so no peak is lost however many samples share a
// pixel column, and the work depends on the number of columns, not of samples.
#pragma once

#include "SampleStore.h"
#include "ScaleMath.h"
#include "TimeWindow.h"

#include <QPointF>
#include <vector>

namespace trazoplot {

struct Curve {
    std::vector<QPointF> points;
    // End (exclusive) of each unbroken run of points; gaps in the data split runs.
    std::vector<int> runEnds;
};

class CurveBuilder {
public:
    // `x` maps absolute sample indices to pixels, `y` values to pixels. Only buckets that can
    // touch pixel columns [xFrom, xTo] are built.
    static Curve build(const SampleStore& store, const TimeWindow& window, const LinearScale& x,
                       const LinearScale& y, double xFrom, double xTo);
    // Pixel columns [x0, x1] that the bucket holding sample `index` draws into, including the
    // segment that joins it to the bucket before.
    static std::pair<double, double> bucketColumns(const TimeWindow& window, const LinearScale& x,
                                                   std::int64_t index);
};

} // namespace trazoplot

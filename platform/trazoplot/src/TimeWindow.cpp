#include "TimeWindow.h"

#include <algorithm>
#include <cmath>

namespace trazoplot {

std::int64_t TimeWindow::bucketSize(std::int64_t span, double plotWidthPx, int density) {
    const std::int64_t n = std::max(density, 1);
    const double perPixel = double(span) / std::max(plotWidthPx, 1.0);
    const auto groups = static_cast<std::int64_t>(std::floor(perPixel / double(n)));
    return n * std::max<std::int64_t>(groups, 1);
}

TimeWindow TimeWindow::compute(const AxisSettings& time, std::int64_t count, double plotWidthPx,
                               int density) {
    TimeWindow w;
    const double minutes = std::min(std::abs(time.maximum - time.minimum), 1e12);
    w.span = std::max<std::int64_t>(std::llround(minutes * kSamplesPerMinute), 1);
    w.bucket = bucketSize(w.span, plotWidthPx, density);
    const std::int64_t newest = count - 1;
    if (newest > w.span) {
        const std::int64_t overflow = newest - w.span;
        w.firstSample = (overflow + w.bucket - 1) / w.bucket * w.bucket;
    }
    w.leftMinutes =
        std::min(time.minimum, time.maximum) + double(w.firstSample) / kSamplesPerMinute;
    return w;
}

} // namespace trazoplot

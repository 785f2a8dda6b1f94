#include "CurveBuilder.h"

#include <algorithm>
#include <cmath>

namespace trazoplot {

namespace {

// Keeps points far outside the plot from reaching the painter as huge coordinates.
double clampPixel(double v, const LinearScale& y) {
    const double a = y.toPixel(y.from());
    const double b = y.toPixel(y.to());
    const double margin = std::abs(b - a) * 4.0 + 100.0;
    return std::clamp(v, std::min(a, b) - margin, std::max(a, b) + margin);
}

double bucketCentre(std::int64_t first, std::int64_t bucket) {
    return double(first) + double(bucket - 1) / 2.0;
}

} // namespace

std::pair<double, double> CurveBuilder::bucketColumns(const TimeWindow& window,
                                                      const LinearScale& x, std::int64_t index) {
    const std::int64_t first = index / window.bucket * window.bucket;
    const double from = x.toPixel(bucketCentre(first - window.bucket, window.bucket));
    const double to = x.toPixel(bucketCentre(first, window.bucket));
    return {std::floor(from) - 2.0, std::ceil(to) + 2.0};
}

Curve CurveBuilder::build(const SampleStore& store, const TimeWindow& window, const LinearScale& x,
                          const LinearScale& y, double xFrom, double xTo) {
    Curve curve;
    const std::int64_t b = window.bucket;
    const std::int64_t newest = store.count() - 1;
    const std::int64_t lo = std::max(window.firstSample, store.firstKept());
    const std::int64_t hi = std::min(window.lastSample(), newest);
    if (lo > hi)
        return curve;
    // One bucket of slack on each side so that the joining segments are drawn too.
    const auto k0 = std::max<std::int64_t>(
        lo / b, static_cast<std::int64_t>(
                    std::floor(std::min(x.toValue(xFrom), x.toValue(xTo)) / double(b))) -
                    1);
    const auto k1 = std::min<std::int64_t>(
        hi / b, static_cast<std::int64_t>(
                    std::ceil(std::max(x.toValue(xFrom), x.toValue(xTo)) / double(b))) +
                    1);
    curve.points.reserve(static_cast<std::size_t>(std::max<std::int64_t>(k1 - k0 + 1, 0) * 2));
    double last = std::nan("");
    for (std::int64_t k = k0; k <= k1; ++k) {
        const std::int64_t first = std::max(k * b, lo);
        const std::int64_t end = std::min((k + 1) * b, hi + 1);
        const MinMax mm = store.range(first, end);
        if (mm.empty) {
            if (curve.runEnds.empty() || curve.runEnds.back() != std::ssize(curve.points))
                curve.runEnds.push_back(static_cast<int>(curve.points.size()));
            last = std::nan("");
            continue;
        }
        const double px = x.toPixel(std::min(bucketCentre(k * b, b), double(end - 1)));
        const bool maxFirst =
            !std::isnan(last) && std::abs(last - mm.max) < std::abs(last - mm.min);
        const double v1 = maxFirst ? mm.max : mm.min;
        const double v2 = maxFirst ? mm.min : mm.max;
        curve.points.emplace_back(px, clampPixel(y.toPixel(v1), y));
        if (v2 != v1)
            curve.points.emplace_back(px, clampPixel(y.toPixel(v2), y));
        last = v2;
    }
    if (curve.runEnds.empty() || curve.runEnds.back() != std::ssize(curve.points))
        curve.runEnds.push_back(static_cast<int>(curve.points.size()));
    return curve;
}

} // namespace trazoplot

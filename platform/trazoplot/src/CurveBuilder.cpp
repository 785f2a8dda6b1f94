#include "CurveBuilder.h"

#include <algorithm>
#include <cmath>

namespace trazoplot {

namespace {

// Keeps points far outside the plot from reaching the painter as huge coordinates.
class PixelClamp {
public:
    explicit PixelClamp(const LinearScale& y) {
        const double a = y.toPixel(y.from());
        const double b = y.toPixel(y.to());
        const double margin = std::abs(b - a) * 4.0 + 100.0;
        m_low = std::min(a, b) - margin;
        m_high = std::max(a, b) + margin;
    }
    double operator()(double v) const { return std::clamp(v, m_low, m_high); }

private:
    double m_low = 0.0;
    double m_high = 0.0;
};

double bucketCentre(std::int64_t first, std::int64_t bucket) {
    return double(first) + double(bucket - 1) / 2.0;
}

// Every bucket stands on the centre of a pixel column, so that its stroke from minimum to
// maximum is one crisp run of pixels rather than two half-covered ones.
double crispColumn(double px) {
    return std::floor(px) + 0.5;
}

// Pixels that the first and last segments of a build stay away from the columns it is for:
// a one-pixel antialiased line with its cap reaches a pixel beyond its end points.
constexpr double kSlackPx = 2.0;

// The bucket holding `sample`, rounded down or up; far outside any window the index is only
// clamped, never converted out of range.
std::int64_t bucketAt(double sample, std::int64_t bucket, bool roundUp) {
    const double q = sample / double(bucket);
    const double k = roundUp ? std::ceil(q) : std::floor(q);
    return std::isnan(k) ? 0 : static_cast<std::int64_t>(std::clamp(k, -1e15, 1e15));
}

MinMax bucketRange(const SampleStore& store, std::int64_t k, std::int64_t bucket, std::int64_t lo,
                   std::int64_t hi) {
    if (k * bucket >= lo && (k + 1) * bucket <= hi + 1)
        return store.bucket(k, bucket);
    return store.range(std::max(k * bucket, lo), std::min((k + 1) * bucket, hi + 1));
}

// Whether a bucket's zigzag starts at its maximum: it does when the trace arrives from above,
// judged from the middles of the bucket and the one before. Each bucket's order depends only
// on data, never on where a build began, so partial repaints match a full one.
bool comesFromAbove(const MinMax& before, const MinMax& mm) {
    if (before.empty)
        return false;
    // Halved before adding, so that extremes near the largest doubles do not overflow.
    return before.min / 2 + before.max / 2 > mm.min / 2 + mm.max / 2;
}

} // namespace

std::pair<double, double> CurveBuilder::bucketColumns(const TimeWindow& window,
                                                      const LinearScale& x, std::int64_t index) {
    const std::int64_t first = index / window.bucket * window.bucket;
    const double from = x.toPixel(bucketCentre(first - window.bucket, window.bucket));
    const double to = x.toPixel(bucketCentre(first, window.bucket));
    return {std::floor(from) - kSlackPx, std::ceil(to) + kSlackPx};
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
    // A polyline's first and last segments are drawn with caps, and a capped segment is
    // rasterised differently from the same segment inside the line. So that a build for a few
    // columns paints them exactly as a build for the whole plot does, it starts and ends with
    // whole segments that lie at least a pixel outside [xFrom, xTo].
    const double v0 = std::min(x.toValue(xFrom - kSlackPx), x.toValue(xTo + kSlackPx));
    const double v1 = std::max(x.toValue(xFrom - kSlackPx), x.toValue(xTo + kSlackPx));
    const std::int64_t k0 = std::max<std::int64_t>(lo / b, bucketAt(v0, b, false) - 2);
    const std::int64_t k1 = std::min<std::int64_t>(hi / b, bucketAt(v1, b, true) + 1);
    curve.points.reserve(static_cast<std::size_t>(std::max<std::int64_t>(k1 - k0 + 1, 0) * 2));
    const PixelClamp clampPixel(y);
    MinMax before = k0 > lo / b ? bucketRange(store, k0 - 1, b, lo, hi) : MinMax{};
    for (std::int64_t k = k0; k <= k1; ++k) {
        const MinMax mm = bucketRange(store, k, b, lo, hi);
        if (mm.empty) {
            if (curve.runEnds.empty() || curve.runEnds.back() != std::ssize(curve.points))
                curve.runEnds.push_back(static_cast<int>(curve.points.size()));
        } else {
            const std::int64_t end = std::min((k + 1) * b, hi + 1);
            const double px =
                crispColumn(x.toPixel(std::min(bucketCentre(k * b, b), double(end - 1))));
            const bool maxFirst = comesFromAbove(before, mm);
            const double first = maxFirst ? mm.max : mm.min;
            const double second = maxFirst ? mm.min : mm.max;
            curve.points.emplace_back(px, clampPixel(y.toPixel(first)));
            if (second != first)
                curve.points.emplace_back(px, clampPixel(y.toPixel(second)));
        }
        before = mm;
    }
    if (curve.runEnds.empty() || curve.runEnds.back() != std::ssize(curve.points))
        curve.runEnds.push_back(static_cast<int>(curve.points.size()));
    return curve;
}

} // namespace trazoplot

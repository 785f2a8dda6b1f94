// Which samples the time axis shows. Samples arrive one a second; sample i stands at i
// seconds after the time axis's lower end. Until the axis is full the window starts at sample
// 0; after that it scrolls so that the newest sample stands at the right end, in steps of
// whole drawing buckets so that the picture moves by whole columns.
#pragma once

#include "ChartSettings.h"

#include <cstdint>

namespace trazoplot {

struct TimeWindow {
    static constexpr double kSamplesPerMinute = 60.0;

    std::int64_t span = 1;        // samples from the left end to the right end (>= 1)
    std::int64_t firstSample = 0; // absolute index of the sample at the left end
    std::int64_t bucket = 1;      // samples drawn as one min/max pair
    double leftMinutes = 0.0;     // time at the left end (real elapsed time, scrolls)

    double rightMinutes() const { return leftMinutes + double(span) / kSamplesPerMinute; }
    std::int64_t lastSample() const { return firstSample + span; }

    // The samples across `plotWidthPx` pixels: each bucket is a whole number of groups of
    // `density` samples and about one pixel column wide (never narrower than one group).
    static std::int64_t bucketSize(std::int64_t span, double plotWidthPx, int density);
    static TimeWindow compute(const AxisSettings& time, std::int64_t count, double plotWidthPx,
                              int density);
};

} // namespace trazoplot

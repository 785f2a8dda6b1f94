#include "MeterTimerMath.h"

#include <algorithm>
#include <cmath>

namespace gaugekit {

std::optional<int> MeterTimerMath::intervalMs(double frequency) {
    if (frequency == 0.0 || !std::isfinite(frequency))
        return std::nullopt;
    const double ms = std::floor(std::fabs(1000.0 / frequency));
    if (ms >= kMaximumIntervalMs)
        return kMaximumIntervalMs;
    return std::max(kMinimumIntervalMs, static_cast<int>(ms));
}

std::array<double, 5> MeterTimerMath::simulate(const MeterSettings& s,
                                               const std::function<int()>& rand15) {
    const double lo = std::min(s.meterScaleMin, s.meterScaleMax);
    const double hi = std::max(s.meterScaleMin, s.meterScaleMax);
    // A scale wider than the largest double (-1e308..1e308) is worked in halves.
    const bool wide = !std::isfinite(hi - lo);
    const double middle = wide ? lo / 2 + hi / 2 : lo + 0.5 * (hi - lo);
    const double halfSpan = wide ? hi / 2 - lo / 2 : 0.5 * (hi - lo);
    std::array<double, 5> values{};
    for (int ch = 0; ch < s.usableChannels(); ++ch) {
        const double r = rand15() / 32767.0;
        const double v = middle + 0.4 * halfSpan * (r - 0.5);
        values[static_cast<std::size_t>(ch)] = std::clamp(v, lo, hi);
    }
    return values;
}

std::uint32_t RuntimeRandom::s_state = 1;

int RuntimeRandom::next() {
    s_state = s_state * 214013u + 2531011u;
    return static_cast<int>((s_state >> 16) & 0x7FFF);
}

} // namespace gaugekit

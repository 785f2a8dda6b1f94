// Timer interval and simulated values of the meter's internal timer, free of any window.
#pragma once

#include "MeterSettings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace gaugekit {

class MeterTimerMath {
public:
    static constexpr int kTimerId = 7003;
    // The shortest and longest intervals a window timer accepts.
    static constexpr int kMinimumIntervalMs = 10;
    static constexpr int kMaximumIntervalMs = 0x7FFFFFFF;

    // The whole-millisecond part of |1000 / frequency|, kept within what a window timer
    // accepts; none for a frequency of 0, infinite or not a number (no finite interval: the timer
    // is not started).
    static std::optional<int> intervalMs(double frequency);

    // One simulated value per usable channel, within +-10 % of the span around the middle of
    // the scale; `rand15` yields 0..32767.
    static std::array<double, 5> simulate(const MeterSettings& s,
                                          const std::function<int()>& rand15);
};

// The classic C runtime generator (multiplier 214013, increment 2531011, 15-bit result), one
// sequence per process, never seeded by the control.
class RuntimeRandom {
public:
    static int next();

private:
    static std::uint32_t s_state;
};

} // namespace gaugekit

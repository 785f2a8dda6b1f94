// Shared by the strip-chart benchmarks: the readings they plot and the chart they plot them on.
#pragma once

#include <cmath>
#include <cstdint>

namespace benchdata {

inline constexpr int kWidth = 1920;
inline constexpr int kHeight = 400;
inline constexpr double kHours = 31.0; // the longest time axis: 111,600 samples

inline double humidity(std::int64_t i) {
    const double t = double(i) / 3600.0;
    return 55 + 20 * std::sin(t * 0.9) + 4 * std::sin(double(i) * 0.013) + double(i % 97) * 0.05;
}
inline double pressure(std::int64_t i) {
    const double t = double(i) / 3600.0;
    return 101.3 + 1.5 * std::sin(t * 0.4 + 1.0) + 0.3 * std::sin(double(i) * 0.021);
}

} // namespace benchdata

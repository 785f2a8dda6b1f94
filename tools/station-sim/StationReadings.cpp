#include "StationReadings.h"

#include <algorithm>
#include <cmath>

namespace stationsim {

namespace {

constexpr double kHumidityStep = 0.25; // % per sample, at most
constexpr double kPressureStep = 0.02; // kPa per sample, at most

std::uint16_t toRaw(double raw) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(raw), 0L, 65535L));
}

} // namespace

StationReadings::StationReadings(std::uint32_t seed)
    : random_(seed) {
    std::uniform_real_distribution<double> start(0.3, 0.7);
    humidity_ = kHumidityMin + start(random_) * (kHumidityMax - kHumidityMin);
    pressure_ = kPressureMin + start(random_) * (kPressureMax - kPressureMin);
}

double StationReadings::drift(double value, double step, double low, double high) {
    std::uniform_real_distribution<double> delta(-step, step);
    value += delta(random_);
    // Reflect at the edges of the band so the value never leaves it.
    if (value < low) {
        value = 2 * low - value;
    } else if (value > high) {
        value = 2 * high - value;
    }
    return std::clamp(value, low, high);
}

std::uint16_t StationReadings::nextHumidityRaw() {
    humidity_ = drift(humidity_, kHumidityStep, kHumidityMin, kHumidityMax);
    return fixedHumidity_ ? *fixedHumidity_ : humidityToRaw(humidity_);
}

std::uint16_t StationReadings::nextPressureRaw() {
    pressure_ = drift(pressure_, kPressureStep, kPressureMin, kPressureMax);
    return fixedPressure_ ? *fixedPressure_ : pressureToRaw(pressure_);
}

std::uint16_t StationReadings::humidityToRaw(double percent) {
    return toRaw((percent + 20.5) / 100 * 39936 / 50);
}

std::uint16_t StationReadings::pressureToRaw(double kilopascal) {
    return toRaw((kilopascal - 10.6521) * 4710.4 / 500);
}

} // namespace stationsim

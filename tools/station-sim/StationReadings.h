#pragma once

#include <cstdint>
#include <optional>
#include <random>

namespace stationsim {

// The station's sensors: humidity and pressure that drift slowly inside a plausible band, or
// raw values fixed for tests. Readings leave here as the raw 16-bit values the station sends,
// made with the inverse of the console's conversions.
class StationReadings {
public:
    static constexpr double kHumidityMin = 30.0;
    static constexpr double kHumidityMax = 90.0;
    static constexpr double kPressureMin = 95.0;
    static constexpr double kPressureMax = 103.0;

    explicit StationReadings(std::uint32_t seed = 1);

    void fixHumidityRaw(std::uint16_t raw) { fixedHumidity_ = raw; }
    void fixPressureRaw(std::uint16_t raw) { fixedPressure_ = raw; }

    // Each call takes one new sample (one step of the drift).
    std::uint16_t nextHumidityRaw();
    std::uint16_t nextPressureRaw();

    double humidity() const { return humidity_; }
    double pressure() const { return pressure_; }

    // Inverse of percent = ((raw * 50) / 39936) * 100 - 20.5, rounded to the nearest raw.
    static std::uint16_t humidityToRaw(double percent);
    // Inverse of kPa = (raw * 500) / 4710.4 + 10.6521, rounded to the nearest raw.
    static std::uint16_t pressureToRaw(double kilopascal);

private:
    double drift(double value, double step, double low, double high);

    std::mt19937 random_;
    double humidity_;
    double pressure_;
    std::optional<std::uint16_t> fixedHumidity_;
    std::optional<std::uint16_t> fixedPressure_;
};

} // namespace stationsim

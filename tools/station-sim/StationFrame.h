#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace stationsim {

// The eight-byte frame of the station's wire protocol, seen from the station's side.
namespace frame {

using Frame = std::array<std::uint8_t, 8>;

constexpr std::uint8_t kStart = 0x40;
constexpr std::uint8_t kControlData = 0x40;
constexpr std::uint8_t kControlError = 0xFF;
constexpr std::uint8_t kCount = 2;
constexpr std::uint8_t kSelectHumidity = 4;
constexpr std::uint8_t kSelectPressure = 3;

// Low eight bits of the sum of bytes 0 to 6.
std::uint8_t checkSum(std::span<const std::uint8_t, 8> bytes);
bool hasValidCheckSum(const Frame& bytes);

// 0x40, destination, origin, control, 2, high, low, check sum.
Frame build(std::uint8_t destination, std::uint8_t origin, std::uint8_t control,
            std::uint16_t value);

} // namespace frame
} // namespace stationsim

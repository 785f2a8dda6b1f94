#include "StationFrame.h"

#include <numeric>

namespace stationsim::frame {

std::uint8_t checkSum(std::span<const std::uint8_t, 8> bytes) {
    const unsigned sum = std::accumulate(bytes.begin(), bytes.begin() + 7, 0U);
    return static_cast<std::uint8_t>(sum & 0xFFU);
}

bool hasValidCheckSum(const Frame& bytes) {
    return checkSum(bytes) == bytes[7];
}

Frame build(std::uint8_t destination, std::uint8_t origin, std::uint8_t control,
            std::uint16_t value) {
    Frame bytes{kStart,
                destination,
                origin,
                control,
                kCount,
                static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value & 0xFFU),
                0};
    bytes[7] = checkSum(bytes);
    return bytes;
}

} // namespace stationsim::frame

#pragma once

#include "StationCore.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace stationsim {

// When each byte the station sends goes out on the line. Unpaced, a transmission leaves at
// once (apart from its own gaps); paced, every byte takes the 9600-baud byte time of ten bits,
// so a byte is handed over when its stop bit would have arrived.
class OutputSchedule {
public:
    static constexpr std::int64_t kByteTimeNs = 10'000'000'000LL / 9600;

    explicit OutputSchedule(bool paced)
        : paced_(paced) {}

    void enqueue(const Transmission& t, std::int64_t nowNs);
    // Removes and returns the bytes due at `nowNs`, in order.
    std::vector<std::uint8_t> takeDue(std::int64_t nowNs);
    // Puts bytes the line did not accept back at the front, due at once.
    void putBack(const std::vector<std::uint8_t>& bytes, std::size_t from, std::int64_t nowNs);
    std::optional<std::int64_t> nextDueNs() const;
    bool empty() const { return queue_.empty(); }

private:
    struct Pending {
        std::uint8_t byte;
        std::int64_t dueNs;
    };

    bool paced_;
    std::deque<Pending> queue_;
};

} // namespace stationsim

#include "OutputSchedule.h"

#include <algorithm>

namespace stationsim {

void OutputSchedule::enqueue(const Transmission& t, std::int64_t nowNs) {
    if (t.supersedes) {
        queue_.clear();
    }
    std::int64_t due = queue_.empty() ? nowNs : std::max(nowNs, queue_.back().dueNs);
    const std::int64_t byteNs = paced_ ? kByteTimeNs : 0;
    const std::int64_t gapNs = static_cast<std::int64_t>(t.gapMs) * 1'000'000;
    for (std::size_t i = 0; i < t.bytes.size(); ++i) {
        due += i == 0 ? byteNs : std::max(byteNs, gapNs);
        queue_.push_back({t.bytes[i], due});
    }
}

std::vector<std::uint8_t> OutputSchedule::takeDue(std::int64_t nowNs) {
    std::vector<std::uint8_t> due;
    while (!queue_.empty() && queue_.front().dueNs <= nowNs) {
        due.push_back(queue_.front().byte);
        queue_.pop_front();
    }
    return due;
}

void OutputSchedule::putBack(const std::vector<std::uint8_t>& bytes, std::size_t from,
                             std::int64_t nowNs) {
    for (std::size_t i = bytes.size(); i > from; --i) {
        queue_.push_front({bytes[i - 1], nowNs});
    }
}

std::optional<std::int64_t> OutputSchedule::nextDueNs() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    return queue_.front().dueNs;
}

} // namespace stationsim

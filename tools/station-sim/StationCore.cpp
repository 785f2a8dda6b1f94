#include "StationCore.h"

#include <algorithm>

namespace stationsim {

namespace {

constexpr std::uint8_t kStrayPattern[] = {0x00, 0xFF, 0x55, 0xAA, 0x13};

std::vector<std::uint8_t> toBytes(const frame::Frame& bytes) {
    return {bytes.begin(), bytes.end()};
}

} // namespace

StationCore::StationCore(StationReadings readings)
    : readings_(std::move(readings)) {}

void StationCore::setMode(Fault fault) {
    mode_ = fault;
    current_ = fault;
}

std::vector<Transmission> StationCore::receive(std::span<const std::uint8_t> bytes,
                                               std::int64_t nowMs) {
    std::vector<Transmission> out;
    for (std::uint8_t byte : bytes) {
        if (std::optional<Transmission> t = onByte(byte, nowMs)) {
            out.push_back(std::move(*t));
        }
    }
    return out;
}

std::optional<Transmission> StationCore::onByte(std::uint8_t byte, std::int64_t nowMs) {
    if (requestLength_ > 0 && nowMs - lastRequestByteMs_ > kRequestGapLimitMs) {
        requestLength_ = 0; // the rest of that request never came
    }
    if (requestLength_ == 0) {
        if (byte == kAddress) {
            return onUnlock();
        }
        if (byte != frame::kStart) {
            return std::nullopt; // line noise between requests
        }
    }
    request_[requestLength_++] = byte;
    lastRequestByteMs_ = nowMs;
    if (requestLength_ < request_.size()) {
        return std::nullopt;
    }
    requestLength_ = 0;
    return onRequest();
}

std::optional<Transmission> StationCore::onRequest() {
    ++requests_;
    if (!frame::hasValidCheckSum(request_)) {
        lastOutcome_ = RequestOutcome::BadCheckSum;
        return std::nullopt; // cannot trust any of it: stay silent, the console unlocks
    }
    if (request_[1] != kAddress) {
        lastOutcome_ = RequestOutcome::OtherAddress;
        return std::nullopt;
    }
    consoleAddress_ = request_[2];
    current_ = once_.value_or(mode_);
    once_.reset();
    const std::uint8_t selector = request_[5];
    if (selector != frame::kSelectHumidity && selector != frame::kSelectPressure) {
        lastOutcome_ = RequestOutcome::UnknownReading;
        if (current_.kind == FaultKind::Silent) {
            return std::nullopt;
        }
        return Transmission{toBytes(errorFrame()), 0, false};
    }
    selector_ = selector;
    lastOutcome_ = RequestOutcome::Answered;
    return answer(current_);
}

std::optional<Transmission> StationCore::answer(const Fault& fault) {
    frame::Frame reply = dataFrame();
    Transmission t;
    switch (fault.kind) {
    case FaultKind::Silent:
        return std::nullopt;
    case FaultKind::Stall:
    case FaultKind::UnlockData:
        if (fault.arg == 0) {
            return std::nullopt;
        }
        t.bytes.assign(reply.begin(), reply.begin() + fault.arg);
        return t;
    case FaultKind::Checksum:
        reply[7] = static_cast<std::uint8_t>(reply[7] + 1);
        break;
    case FaultKind::Data40:
        reply[5] = reply[6] = 0x40;
        reply[7] = frame::checkSum(reply);
        break;
    case FaultKind::Stray:
        for (int i = 0; i < fault.arg; ++i) {
            t.bytes.push_back(
                kStrayPattern[static_cast<std::size_t>(i) % std::size(kStrayPattern)]);
        }
        break;
    case FaultKind::Slow:
        t.gapMs = fault.arg;
        break;
    case FaultKind::Normal:
        break;
    }
    t.bytes.insert(t.bytes.end(), reply.begin(), reply.end());
    return t;
}

std::optional<Transmission> StationCore::onUnlock() {
    ++unlocks_;
    switch (current_.kind) {
    case FaultKind::Silent:
        return std::nullopt;
    case FaultKind::UnlockData:
        return Transmission{toBytes(dataFrame()), 0, true};
    default:
        return Transmission{toBytes(errorFrame()), 0, true};
    }
}

frame::Frame StationCore::dataFrame() {
    const std::uint16_t raw = selector_ == frame::kSelectPressure ? readings_.nextPressureRaw()
                                                                  : readings_.nextHumidityRaw();
    return frame::build(consoleAddress_, kAddress, frame::kControlData, raw);
}

frame::Frame StationCore::errorFrame() const {
    return frame::build(consoleAddress_, kAddress, frame::kControlError, 0);
}

} // namespace stationsim

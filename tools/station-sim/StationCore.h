#pragma once

#include "Fault.h"
#include "StationFrame.h"
#include "StationReadings.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace stationsim {

// Bytes the station puts on the line in answer to something it received.
struct Transmission {
    std::vector<std::uint8_t> bytes;
    int gapMs = 0;           // silence between two bytes of this transmission
    bool supersedes = false; // drops whatever of earlier transmissions is still unsent

    bool operator==(const Transmission&) const = default;
};

// What happened to one complete request, for the log.
enum class RequestOutcome { Answered, BadCheckSum, OtherAddress, UnknownReading };

// The station's protocol logic, free of any IO: it takes the bytes received from the console
// and returns what to send back. Requests are eight bytes starting with 0x40; outside a request
// a byte equal to the station's address is the console's unlock message.
class StationCore {
public:
    static constexpr std::uint8_t kAddress = 1;
    // A request whose bytes stop arriving for longer than this is dropped unfinished.
    static constexpr std::int64_t kRequestGapLimitMs = 100;

    explicit StationCore(StationReadings readings = StationReadings{});

    std::vector<Transmission> receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs);

    // The fault of every exchange from the next request on (and of lone unlock bytes now).
    void setMode(Fault fault);
    // The fault of the next request's exchange only; afterwards the mode applies again.
    void setOnce(Fault fault) { once_ = fault; }

    Fault mode() const { return mode_; }
    std::optional<Fault> pendingOnce() const { return once_; }
    // The fault that governs the exchange under way (what an unlock byte gets now).
    Fault currentFault() const { return current_; }

    StationReadings& readings() { return readings_; }

    int requestsReceived() const { return requests_; }
    int unlocksReceived() const { return unlocks_; }
    std::optional<RequestOutcome> lastOutcome() const { return lastOutcome_; }

private:
    std::optional<Transmission> onByte(std::uint8_t byte, std::int64_t nowMs);
    std::optional<Transmission> onRequest();
    std::optional<Transmission> onUnlock();
    std::optional<Transmission> answer(const Fault& fault);
    frame::Frame dataFrame();
    frame::Frame errorFrame() const;

    StationReadings readings_;
    Fault mode_;
    Fault current_;
    std::optional<Fault> once_;
    frame::Frame request_{};
    std::size_t requestLength_ = 0;
    std::int64_t lastRequestByteMs_ = 0;
    std::uint8_t consoleAddress_ = 0;
    std::uint8_t selector_ = frame::kSelectHumidity;
    int requests_ = 0;
    int unlocks_ = 0;
    std::optional<RequestOutcome> lastOutcome_;
};

} // namespace stationsim

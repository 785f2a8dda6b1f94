#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace stationsim {

// How the simulated station misbehaves while answering one exchange.
enum class FaultKind {
    Normal,     // correct replies; a lone unlock byte draws the error frame
    Silent,     // never answers anything, unlock bytes included
    Stall,      // sends the first `arg` reply bytes, then waits for the unlock: error frame
    Checksum,   // reply with a wrong check sum
    Data40,     // reply whose two data bytes are 0x40 (raw 0x4040)
    Stray,      // `arg` stray bytes on the line before the reply
    UnlockData, // stalls like Stall, but answers each unlock with a data frame
    Slow,       // `arg` ms of silence between the bytes of a reply
};

struct Fault {
    FaultKind kind = FaultKind::Normal;
    int arg = 0;

    // Parses "name" or "name:arg" (e.g. "stall:3", "slow:2500"). Unknown names, arguments
    // out of range and arguments given to a fault that takes none are refused.
    static std::optional<Fault> parse(std::string_view text);
    // The canonical text, which parse() reads back to the same fault.
    std::string toString() const;
    // The next fault in the fixed cycle that SIGUSR1 walks through, with its default argument.
    Fault next() const;

    bool operator==(const Fault&) const = default;
};

// The list of fault names with their arguments, for the help texts.
std::string_view faultHelpText();

} // namespace stationsim

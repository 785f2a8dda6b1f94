#include "Fault.h"

#include <array>
#include <charconv>

namespace stationsim {

namespace {

struct FaultInfo {
    FaultKind kind;
    std::string_view name;
    bool takesArg;
    int defaultArg;
    int minArg;
    int maxArg;
};

// Also the order of the SIGUSR1 cycle.
constexpr std::array<FaultInfo, 8> kFaults{{
    {FaultKind::Normal, "normal", false, 0, 0, 0},
    {FaultKind::Silent, "silent", false, 0, 0, 0},
    {FaultKind::Stall, "stall", true, 0, 0, 7},
    {FaultKind::Checksum, "checksum", false, 0, 0, 0},
    {FaultKind::Data40, "data40", false, 0, 0, 0},
    {FaultKind::Stray, "stray", true, 3, 1, 64},
    {FaultKind::UnlockData, "unlock-data", true, 0, 0, 7},
    {FaultKind::Slow, "slow", true, 100, 1, 60000},
}};

const FaultInfo& infoOf(FaultKind kind) {
    for (const FaultInfo& info : kFaults) {
        if (info.kind == kind) {
            return info;
        }
    }
    return kFaults.front();
}

std::optional<int> parseInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<Fault> Fault::parse(std::string_view text) {
    const auto colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    for (const FaultInfo& info : kFaults) {
        if (info.name != name) {
            continue;
        }
        if (colon == std::string_view::npos) {
            return Fault{info.kind, info.defaultArg};
        }
        const std::optional<int> arg = parseInt(text.substr(colon + 1));
        if (!info.takesArg || !arg || *arg < info.minArg || *arg > info.maxArg) {
            return std::nullopt;
        }
        return Fault{info.kind, *arg};
    }
    return std::nullopt;
}

std::string Fault::toString() const {
    const FaultInfo& info = infoOf(kind);
    std::string text(info.name);
    if (info.takesArg) {
        text += ':' + std::to_string(arg);
    }
    return text;
}

Fault Fault::next() const {
    for (std::size_t i = 0; i < kFaults.size(); ++i) {
        if (kFaults[i].kind == kind) {
            const FaultInfo& following = kFaults[(i + 1) % kFaults.size()];
            return Fault{following.kind, following.defaultArg};
        }
    }
    return Fault{};
}

std::string_view faultHelpText() {
    return "  normal          correct replies; a lone unlock byte draws the error frame\n"
           "  silent          never answers, not even the unlock byte\n"
           "  stall[:K]       sends K reply bytes (0-7, default 0), then answers the unlock\n"
           "                  byte with the error frame\n"
           "  checksum        replies with a wrong check sum\n"
           "  data40          replies with both data bytes 0x40 (raw 0x4040)\n"
           "  stray[:N]       N stray bytes (1-64, default 3) before the reply\n"
           "  unlock-data[:K] like stall:K, but answers every unlock byte with a data frame\n"
           "  slow[:MS]       MS milliseconds (1-60000, default 100) between reply bytes\n";
}

} // namespace stationsim

#pragma once

#include "Fault.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stationsim {

// The simulator's command line.
struct SimOptions {
    std::string device; // serial device to play the station on; empty: a new pseudo-terminal
    std::string link;   // symlink to create to the device, removed on exit
    Fault mode;
    bool paced = false;
    std::optional<std::uint16_t> humidityRaw;
    std::optional<std::uint16_t> pressureRaw;
    std::uint32_t seed = 1;
    bool log = false;
    bool exitOnEof = false;
    bool help = false;

    // Reads the arguments after the program name. On a mistake returns nothing and says why.
    static std::optional<SimOptions> parse(const std::vector<std::string>& args,
                                           std::string& error);
    static std::string usage();
};

} // namespace stationsim

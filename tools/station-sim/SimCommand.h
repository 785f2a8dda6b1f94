#pragma once

#include "Fault.h"

#include <optional>
#include <string>
#include <string_view>

namespace stationsim {

// One command line read from the simulator's standard input.
struct SimCommand {
    enum class Kind { Empty, Mode, Once, Status, Quit };
    Kind kind = Kind::Empty;
    Fault fault;

    // "mode stall:3", "mode stall 3", "once checksum", "status", "quit"; blank lines are
    // Empty. On a mistake returns nothing and says why.
    static std::optional<SimCommand> parse(std::string_view line, std::string& error);
};

} // namespace stationsim

#include "SimCommand.h"

#include <sstream>
#include <vector>

namespace stationsim {

std::optional<SimCommand> SimCommand::parse(std::string_view line, std::string& error) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    SimCommand command;
    if (words.empty()) {
        return command;
    }
    const std::string& verb = words[0];
    if ((verb == "status" || verb == "quit") && words.size() == 1) {
        command.kind = verb == "status" ? Kind::Status : Kind::Quit;
        return command;
    }
    if ((verb == "mode" || verb == "once") && (words.size() == 2 || words.size() == 3)) {
        const std::string text = words.size() == 3 ? words[1] + ':' + words[2] : words[1];
        const std::optional<Fault> fault = Fault::parse(text);
        if (!fault) {
            error = "unknown mode: " + text;
            return std::nullopt;
        }
        command.kind = verb == "mode" ? Kind::Mode : Kind::Once;
        command.fault = *fault;
        return command;
    }
    error = "unknown command: " + std::string(line);
    return std::nullopt;
}

} // namespace stationsim

#include "SimOptions.h"

#include <charconv>

namespace stationsim {

namespace {

template <typename T>
bool parseNumber(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc{} && ptr == end;
}

} // namespace

std::optional<SimOptions> SimOptions::parse(const std::vector<std::string>& args,
                                            std::string& error) {
    SimOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        auto value = [&]() -> const std::string& { return args[++i]; };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--paced") {
            o.paced = true;
        } else if (arg == "--log") {
            o.log = true;
        } else if (arg == "--exit-on-eof") {
            o.exitOnEof = true;
        } else if (!hasValue &&
                   (arg == "--device" || arg == "--link" || arg == "--mode" || arg == "--seed" ||
                    arg == "--humidity-raw" || arg == "--pressure-raw")) {
            error = arg + " needs a value";
            return std::nullopt;
        } else if (arg == "--device") {
            o.device = value();
        } else if (arg == "--link") {
            o.link = value();
        } else if (arg == "--mode") {
            const std::string& text = value();
            const std::optional<Fault> fault = Fault::parse(text);
            if (!fault) {
                error = "unknown mode: " + text;
                return std::nullopt;
            }
            o.mode = *fault;
        } else if (arg == "--seed") {
            if (!parseNumber(value(), o.seed)) {
                error = "--seed takes a whole number 0-4294967295";
                return std::nullopt;
            }
        } else if (arg == "--humidity-raw" || arg == "--pressure-raw") {
            std::uint16_t raw = 0;
            if (!parseNumber(value(), raw)) {
                error = arg + " takes a whole number 0-65535";
                return std::nullopt;
            }
            (arg == "--humidity-raw" ? o.humidityRaw : o.pressureRaw) = raw;
        } else {
            error = "unknown argument: " + arg;
            return std::nullopt;
        }
    }
    return o;
}

std::string SimOptions::usage() {
    std::string text =
        "Usage: station-sim [options]\n"
        "Plays the weather station (humidity and pressure, eight-byte frames, 9600 8N1).\n"
        "Without --device it creates a pseudo-terminal; the first line on stdout is always\n"
        "the device the console must open.\n\n"
        "Options:\n"
        "  --device PATH        answer on this serial device instead (9600 8N1, raw)\n"
        "  --link PATH          create a symlink PATH to the device (e.g. for BRISORA_COM2);\n"
        "                       removed on exit\n"
        "  --mode FAULT         fault mode at start (default normal, see below)\n"
        "  --paced              send at the real 9600-baud byte time (1.04 ms per byte)\n"
        "  --humidity-raw N     always send this raw humidity value (0-65535)\n"
        "  --pressure-raw N     always send this raw pressure value (0-65535)\n"
        "  --seed N             seed of the drifting readings (default 1)\n"
        "  --log                log every byte received and sent on stderr,\n"
        "                       as '<ms since start> rx|tx <hex>'\n"
        "  --exit-on-eof        exit when standard input ends\n"
        "  --help               this text\n\n"
        "Fault modes:\n";
    text += faultHelpText();
    text += "\nCommands on standard input, one per line (each answered on stdout with\n"
            "'ok ...' or 'error ...'):\n"
            "  mode FAULT           use FAULT for every exchange from now on\n"
            "  once FAULT           use FAULT for the next request only\n"
            "  status               print the mode and any pending once-fault\n"
            "  quit                 exit\n\n"
            "Signals: SIGUSR1 switches to the next mode of the cycle normal, silent, stall,\n"
            "checksum, data40, stray, unlock-data, slow (then normal again); SIGUSR2 back to\n"
            "normal; SIGINT and SIGTERM end the simulator cleanly.\n";
    return text;
}

} // namespace stationsim

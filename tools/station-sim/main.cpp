// station-sim: plays the weather station on a pseudo-terminal or a serial device.

#include "LineDevice.h"
#include "SimOptions.h"
#include "SimulatorLoop.h"
#include "StationCore.h"

#include <cstdio>
#include <memory>

using namespace stationsim;

int main(int argc, char** argv) {
    std::string error;
    const std::optional<SimOptions> options =
        SimOptions::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "station-sim: %s (try --help)\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(SimOptions::usage().c_str(), stdout);
        return 0;
    }
    std::unique_ptr<LineDevice> line = options->device.empty()
                                           ? LineDevice::openPseudoTerminal(error)
                                           : LineDevice::openSerial(options->device, error);
    if (!line || (!options->link.empty() && !line->createLink(options->link, error))) {
        std::fprintf(stderr, "station-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", line->path().c_str());
    std::fflush(stdout);

    StationReadings readings(options->seed);
    if (options->humidityRaw) {
        readings.fixHumidityRaw(*options->humidityRaw);
    }
    if (options->pressureRaw) {
        readings.fixPressureRaw(*options->pressureRaw);
    }
    StationCore core(std::move(readings));
    core.setMode(options->mode);
    SimulatorLoop loop(
        core, line->fd(),
        {options->paced, options->log, options->exitOnEof, !line->isPseudoTerminal()});
    return loop.run();
}

#pragma once

#include "OutputSchedule.h"
#include "StationCore.h"

#include <cstdint>
#include <string>

namespace stationsim {

// The simulator's event loop: bytes from the line go to the station logic and its answers
// go out on schedule; commands arrive on standard input and signals through a signalfd.
class SimulatorLoop {
public:
    struct Settings {
        bool paced = false;
        bool log = false;
        bool exitOnEof = false;
        bool lineMayVanish = false; // a real serial device; a pseudo-terminal never does
    };

    SimulatorLoop(StationCore& core, int lineFd, Settings settings);
    ~SimulatorLoop();

    SimulatorLoop(const SimulatorLoop&) = delete;
    SimulatorLoop& operator=(const SimulatorLoop&) = delete;

    // Runs until quit, SIGINT/SIGTERM or (if asked) the end of standard input. Returns the
    // exit status.
    int run();

private:
    std::int64_t nowNs() const;
    void readLine();
    void readStdin();
    void readSignal();
    void writeDue();
    void handleCommand(const std::string& line);
    void announceMode(const char* how);
    void log(const char* direction, std::uint8_t byte);
    void note(const std::string& text);
    void finish(int status);

    StationCore& core_;
    int lineFd_;
    int signalFd_ = -1;
    int stdinFd_ = 0;
    Settings settings_;
    OutputSchedule schedule_;
    std::int64_t startNs_;
    std::string stdinBuffer_;
    bool skippingLine_ = false; // the rest of an over-long command line is dropped
    bool lineBlocked_ = false;
    bool running_ = true;
    int status_ = 0;
};

} // namespace stationsim

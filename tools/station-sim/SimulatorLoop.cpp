#include "SimulatorLoop.h"

#include "SimCommand.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace stationsim {

namespace {

// Longer than any command; a longer line on standard input is refused.
constexpr std::size_t kMaxCommandLine = 4096;

std::int64_t monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

sigset_t handledSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2}) {
        sigaddset(&set, s);
    }
    return set;
}

void reply(const std::string& text) {
    std::fputs((text + '\n').c_str(), stdout);
    std::fflush(stdout);
}

} // namespace

SimulatorLoop::SimulatorLoop(StationCore& core, int lineFd, Settings settings)
    : core_(core)
    , lineFd_(lineFd)
    , settings_(settings)
    , schedule_(settings.paced)
    , startNs_(monotonicNs()) {
    const sigset_t set = handledSignals();
    sigprocmask(SIG_BLOCK, &set, nullptr);
    signalFd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    std::signal(SIGPIPE, SIG_IGN);
    // In the background of a terminal, reading standard input fails instead of stopping us.
    std::signal(SIGTTIN, SIG_IGN);
}

SimulatorLoop::~SimulatorLoop() {
    if (signalFd_ >= 0) {
        close(signalFd_);
    }
}

std::int64_t SimulatorLoop::nowNs() const {
    return monotonicNs() - startNs_;
}

int SimulatorLoop::run() {
    while (running_) {
        pollfd fds[3] = {{lineFd_, POLLIN, 0}, {signalFd_, POLLIN, 0}, {stdinFd_, POLLIN, 0}};
        const std::optional<std::int64_t> due = schedule_.nextDueNs();
        if (due) {
            fds[0].events |= POLLOUT;
        }
        // While the line refuses bytes, wait for it to take some instead of spinning.
        const bool timed = due && !lineBlocked_;
        timespec timeout{};
        const std::int64_t wait = timed ? std::max<std::int64_t>(0, *due - nowNs()) : 0;
        timeout.tv_sec = static_cast<time_t>(wait / 1'000'000'000);
        timeout.tv_nsec = static_cast<long>(wait % 1'000'000'000);
        const nfds_t count = stdinFd_ >= 0 ? 3 : 2;
        if (ppoll(fds, count, timed ? &timeout : nullptr, nullptr) < 0 && errno != EINTR) {
            note(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        if ((fds[0].revents & POLLOUT) != 0) {
            lineBlocked_ = false;
        }
        if (fds[1].revents != 0) {
            readSignal();
        }
        if (running_ && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
            readLine();
        }
        if (running_ && count == 3 && fds[2].revents != 0) {
            readStdin();
        }
        if (running_) {
            writeDue();
        }
    }
    return status_;
}

void SimulatorLoop::readLine() {
    std::uint8_t buffer[256];
    const ssize_t n = read(lineFd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (n <= 0) {
        if (settings_.lineMayVanish) {
            note("the serial device is gone");
            finish(1);
        }
        return;
    }
    const std::int64_t ns = nowNs();
    for (ssize_t i = 0; i < n; ++i) {
        log("rx", buffer[i]);
    }
    const auto bytes = std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n));
    for (const Transmission& t : core_.receive(bytes, ns / 1'000'000)) {
        schedule_.enqueue(t, ns);
    }
}

void SimulatorLoop::writeDue() {
    const std::int64_t ns = nowNs();
    const std::vector<std::uint8_t> due = schedule_.takeDue(ns);
    if (due.empty()) {
        return;
    }
    const ssize_t n = write(lineFd_, due.data(), due.size());
    const std::size_t written = n > 0 ? static_cast<std::size_t>(n) : 0;
    for (std::size_t i = 0; i < written; ++i) {
        log("tx", due[i]);
    }
    lineBlocked_ = written < due.size();
    schedule_.putBack(due, written, ns);
}

void SimulatorLoop::readStdin() {
    char buffer[512];
    const ssize_t n = read(stdinFd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (n <= 0) {
        stdinFd_ = -1;
        // EIO: started in the background of a terminal; go on without commands.
        if (n == 0 && settings_.exitOnEof) {
            finish(0);
        }
        return;
    }
    stdinBuffer_.append(buffer, static_cast<std::size_t>(n));
    for (auto end = stdinBuffer_.find('\n'); end != std::string::npos && running_;
         end = stdinBuffer_.find('\n')) {
        const std::string line = stdinBuffer_.substr(0, end);
        stdinBuffer_.erase(0, end + 1);
        if (skippingLine_) {
            skippingLine_ = false; // the end of a line already refused
        } else {
            handleCommand(line);
        }
    }
    if (stdinBuffer_.size() > kMaxCommandLine) {
        // No command is this long: the line is refused, and skipped up to its end, rather
        // than kept growing.
        stdinBuffer_.clear();
        if (!skippingLine_) {
            reply("error command line too long");
        }
        skippingLine_ = true;
    }
}

void SimulatorLoop::handleCommand(const std::string& line) {
    std::string error;
    const std::optional<SimCommand> command = SimCommand::parse(line, error);
    if (!command) {
        reply("error " + error);
        return;
    }
    switch (command->kind) {
    case SimCommand::Kind::Empty:
        return;
    case SimCommand::Kind::Mode:
        core_.setMode(command->fault);
        announceMode("mode");
        reply("ok mode " + command->fault.toString());
        return;
    case SimCommand::Kind::Once:
        core_.setOnce(command->fault);
        note("once " + command->fault.toString());
        reply("ok once " + command->fault.toString());
        return;
    case SimCommand::Kind::Status: {
        const std::optional<Fault> once = core_.pendingOnce();
        reply("ok status mode " + core_.mode().toString() + " once " +
              (once ? once->toString() : std::string("none")) + " requests " +
              std::to_string(core_.requestsReceived()) + " unlocks " +
              std::to_string(core_.unlocksReceived()));
        return;
    }
    case SimCommand::Kind::Quit:
        reply("ok quit");
        finish(0);
        return;
    }
}

void SimulatorLoop::readSignal() {
    signalfd_siginfo info{};
    while (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        const int signo = static_cast<int>(info.ssi_signo);
        if (signo == SIGUSR1) {
            core_.setMode(core_.mode().next());
            announceMode("signal: mode");
        } else if (signo == SIGUSR2) {
            core_.setMode(Fault{});
            announceMode("signal: mode");
        } else {
            finish(0);
        }
    }
}

void SimulatorLoop::announceMode(const char* how) {
    const std::string text = std::string(how) + ' ' + core_.mode().toString();
    if (settings_.log) {
        note(text);
    } else if (std::strncmp(how, "signal", 6) == 0) {
        std::fprintf(stderr, "station-sim: %s\n", text.c_str());
    }
}

void SimulatorLoop::log(const char* direction, std::uint8_t byte) {
    if (settings_.log) {
        std::fprintf(stderr, "%.1f %s %02X\n", static_cast<double>(nowNs()) / 1e6, direction, byte);
    }
}

void SimulatorLoop::note(const std::string& text) {
    std::fprintf(stderr, "%.1f -- %s\n", static_cast<double>(nowNs()) / 1e6, text.c_str());
}

void SimulatorLoop::finish(int status) {
    running_ = false;
    status_ = status;
}

} // namespace stationsim

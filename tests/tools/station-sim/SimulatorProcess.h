#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs bin/station-sim as a child process for the tests that go over a real pseudo-terminal.
class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess();

    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Starts the simulator with `arguments` and reads the device path it prints first.
    bool start(const QStringList& arguments);
    QString device() const { return device_; }

    // Sends one command line and waits for its "ok ..." answer.
    bool command(const QString& line);

    // Ends it with SIGTERM; returns its exit code, or -1 if it did not exit normally.
    int terminate();

    // Everything the simulator wrote on stderr so far (its --log).
    QString log();

    // The log's byte lines, "rx 40" or "tx 01", in order, without the times.
    QStringList wireEvents();

private:
    QString readLine(int timeoutMs);

    QProcess process_;
    QString device_;
    QString log_;
};

// A raw, non-blocking file descriptor on the simulator's device, for talking to it directly.
class RawLine {
public:
    explicit RawLine(const QString& device);
    ~RawLine();

    RawLine(const RawLine&) = delete;
    RawLine& operator=(const RawLine&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool write(const QByteArray& bytes);
    // Reads exactly `count` bytes or gives up after `timeoutMs`; returns what it got.
    QByteArray read(int count, int timeoutMs);

private:
    int fd_ = -1;
};

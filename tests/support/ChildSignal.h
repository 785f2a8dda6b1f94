// Signals to the programs a test starts.
#pragma once

#include <QProcess>

#include <csignal>
#include <sys/types.h>

namespace testsupport {

// Sends `signalNumber` to one process, never to a group: kill() with 0 or a negative number
// would reach the whole process group, the test runner and every other test among it. A
// process that has already ended has no id (QProcess gives 0), so nothing is sent.
inline bool signalPid(qint64 pid, int signalNumber) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), signalNumber) == 0;
}

// The same for a program started through QProcess, only while it runs.
inline bool signalChild(const QProcess& process, int signalNumber) {
    return process.state() != QProcess::NotRunning && signalPid(process.processId(), signalNumber);
}

} // namespace testsupport

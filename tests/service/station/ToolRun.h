#pragma once

// Runs a tool of the machine (systemd-analyze, cpack, dpkg-deb) for the service's install
// checks: its exit status and everything it printed in `out`, or -1 when it did not end
// normally.

#include "ProgramRun.h"

#include <QStandardPaths>

namespace testsupport {

inline ProgramRun runTool(const QString& program, const QStringList& arguments,
                          const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    return finishRun(p, 600000);
}

// The tool's path on PATH, or empty when the machine does not have it.
inline QString machineTool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

} // namespace testsupport

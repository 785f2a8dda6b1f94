#pragma once

// Runs a tool of the machine (systemd-analyze, cpack, dpkg-deb) for the service's install
// checks: its exit status and everything it printed, or -1 when it did not end normally.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace testsupport {

struct ToolRun {
    int exitCode = -1;
    QString out;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments,
                       const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    ToolRun r;
    if (!p.waitForFinished(600000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAll());
    return r;
}

// The tool's path on PATH, or empty when the machine does not have it.
inline QString machineTool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

} // namespace testsupport

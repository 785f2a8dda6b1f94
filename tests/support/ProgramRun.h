// One run of a program the build puts beside the tests: its exit code and what it wrote.
#pragma once

#include "TestFiles.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

struct ProgramRun {
    // -1 when the program did not finish in time or crashed.
    int exitCode = -1;
    QString out;
    QString err; // empty when the error channel was merged into `out`
};

// Waits up to `timeoutMs` for the started process `p` to end and takes what it wrote; one that
// does not end in time is killed and leaves the run empty.
inline ProgramRun finishRun(QProcess& p, int timeoutMs) {
    ProgramRun run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    if (p.processChannelMode() != QProcess::MergedChannels) {
        run.err = QString::fromUtf8(p.readAllStandardError());
    }
    return run;
}

// Runs the built program `name` with `args` in `env` (the test's own environment when empty)
// and in the folder `workingDir` (the test's own when empty), with `input` on its standard
// input, waiting up to a minute for it to finish.
inline ProgramRun runProgram(const QString& name, const QStringList& args,
                             const QProcessEnvironment& env = {}, const QString& workingDir = {},
                             const QByteArray& input = {}) {
    QProcess p;
    p.setProcessEnvironment(env.isEmpty() ? QProcessEnvironment::systemEnvironment() : env);
    p.setWorkingDirectory(workingDir);
    p.start(built(name), args);
    p.write(input);
    p.closeWriteChannel();
    return finishRun(p, 60000);
}

} // namespace testsupport

// Regression: a test that signalled a program after it had ended sent the signal to pid 0, that
// is to its whole process group, and the test runner and every test running beside it stopped.
#include "ChildSignal.h"

#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

class tst_ChildSignal : public QObject {
    Q_OBJECT
private slots:
    void runningProgramIsSignalled();
    void endedProgramLeavesTheGroupAlone();
};

void tst_ChildSignal::runningProgramIsSignalled() {
    QProcess sleeper;
    sleeper.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(sleeper.waitForStarted(10000));
    QVERIFY(testsupport::signalChild(sleeper, SIGTERM));
    QVERIFY(sleeper.waitForFinished(10000));
    QCOMPARE(sleeper.exitStatus(), QProcess::CrashExit);
}

void tst_ChildSignal::endedProgramLeavesTheGroupAlone() {
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    QVERIFY(ended.waitForFinished(10000));
    QCOMPARE(ended.processId(), 0); // where the signal used to go
    // Tried in a child that leads a group of its own, so a signal to "the group" reaches only it.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        ::setpgid(0, 0);
        const bool sent = testsupport::signalChild(ended, SIGTERM) ||
                          testsupport::signalPid(ended.processId(), SIGTERM);
        ::_exit(sent ? 1 : 0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), "the child was stopped by its own signal");
    QCOMPARE(WEXITSTATUS(status), 0);
}

QTEST_GUILESS_MAIN(tst_ChildSignal)
#include "tst_childsignal.moc"

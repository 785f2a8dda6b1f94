#include "comm/CommPort.h"
#include "PortLock.h"

#include "forms/QtScheduler.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

using comm::CommError;
using comm::CommPort;
using comm::PortLock;

namespace {

// The slave side of a pseudo-terminal, standing in for the station's serial device.
class Pty {
public:
    Pty() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
        }
    }
    ~Pty() { ::close(m_master); }
    QString slave() const { return m_slave; }

private:
    int m_master = -1;
    QString m_slave;
};

QString ownHolder() {
    return QStringLiteral("%1 (pid %2)").arg(PortLock::ownName()).arg(::getpid());
}

} // namespace

class tst_PortLock : public QObject {
    Q_OBJECT

private slots:
    void init();
    void secondProgramIsToldTheHolderAndGetsThePortOnceFree();
    void twoNamesOfOneDeviceShareTheLock();
    void lockOfAKilledProcessIsTakenOver();

private:
    forms::QtScheduler m_scheduler;
    QTemporaryDir m_locks;
};

void tst_PortLock::init() {
    QVERIFY(m_locks.isValid());
    qputenv(PortLock::kDirectoryVariable, QFile::encodeName(m_locks.path()));
}

void tst_PortLock::secondProgramIsToldTheHolderAndGetsThePortOnceFree() {
    Pty pty;
    QVERIFY(!pty.slave().isEmpty());
    CommPort first({}, m_scheduler);
    first.setDevice(pty.slave());
    QCOMPARE(first.setPortOpen(true), CommError::None);

    CommPort second({}, m_scheduler);
    second.setDevice(pty.slave());
    QCOMPARE(second.setPortOpen(true), CommError::DeviceBusy);
    QCOMPARE(second.busyHolder(), ownHolder());

    first.setPortOpen(false);
    QCOMPARE(second.setPortOpen(true), CommError::None);
    QCOMPARE(second.busyHolder(), QString());
}

void tst_PortLock::twoNamesOfOneDeviceShareTheLock() {
    Pty pty;
    const QString link = m_locks.filePath(QStringLiteral("station-link"));
    QVERIFY(QFile::link(pty.slave(), link));
    QCOMPARE(PortLock::lockFilePath(link), PortLock::lockFilePath(pty.slave()));
    PortLock byName;
    QCOMPARE(byName.lock(pty.slave()), PortLock::Result::Locked);
    PortLock byLink;
    QCOMPARE(byLink.lock(link), PortLock::Result::Busy);
}

void tst_PortLock::lockOfAKilledProcessIsTakenOver() {
    Pty pty;
    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        PortLock held;
        const char ok = held.lock(pty.slave()) == PortLock::Result::Locked ? 'y' : 'n';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    QCOMPARE(::read(ready[0], &answer, 1), ssize_t(1));
    ::close(ready[0]);
    ::close(ready[1]);
    QCOMPARE(answer, 'y');

    PortLock mine;
    QCOMPARE(mine.lock(pty.slave()), PortLock::Result::Busy);
    QCOMPARE(mine.holder(), QStringLiteral("%1 (pid %2)").arg(PortLock::ownName()).arg(child));

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // The file still names the dead holder, but its claim died with it.
    QCOMPARE(mine.lock(pty.slave()), PortLock::Result::Locked);
}

QTEST_GUILESS_MAIN(tst_PortLock)
#include "tst_portlock.moc"

#include "comm/CommPort.h"

#include "forms/QtScheduler.h"

#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using comm::CommError;
using comm::CommPort;

namespace {

// The master side of a pseudo-terminal; its slave stands in for a serial device.
class Pty {
public:
    Pty() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
        }
    }
    ~Pty() { closeMaster(); }
    QString slave() const { return m_slave; }
    bool write(const QByteArray& bytes) const {
        return ::write(m_master, bytes.constData(), bytes.size()) == bytes.size();
    }
    void closeMaster() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    QString m_slave;
};

} // namespace

class TestDevice : public QObject {
    Q_OBJECT

private slots:
    void missingDeviceIsReported();
    void receivesBytesAndRefusesSecondOpener();
    void lossOfTheOtherEndClosesThePort();

private:
    forms::QtScheduler m_scheduler;
};

void TestDevice::missingDeviceIsReported() {
    CommPort port({}, m_scheduler);
    QCOMPARE(port.setDevice("/dev/brisora-no-such-device"), CommError::None);
    QCOMPARE(port.setPortOpen(true), CommError::DeviceNotFound);
    QVERIFY(!port.portOpen());
}

void TestDevice::receivesBytesAndRefusesSecondOpener() {
    Pty pty;
    QVERIFY(!pty.slave().isEmpty());
    CommPort port({}, m_scheduler);
    port.setDevice(pty.slave());
    port.setInputLen(1);
    port.setRThreshold(1);
    QByteArray seen;
    port.setOnComm([&] { seen += port.input(); });
    QCOMPARE(port.setPortOpen(true), CommError::None);

    CommPort second({}, m_scheduler);
    second.setDevice(pty.slave());
    QCOMPARE(second.setPortOpen(true), CommError::DeviceBusy);

    QVERIFY(pty.write(QByteArray("\x40\x01\x00\x40", 4)));
    QTRY_COMPARE_WITH_TIMEOUT(seen, QByteArray("\x40\x01\x00\x40", 4), 10000);
}

void TestDevice::lossOfTheOtherEndClosesThePort() {
    Pty pty;
    CommPort port({}, m_scheduler);
    port.setDevice(pty.slave());
    port.setRThreshold(1);
    QCOMPARE(port.setPortOpen(true), CommError::None);
    bool lost = false;
    port.setOnLost([&](CommError e, const QString&) { lost = e == CommError::DeviceLost; });
    pty.closeMaster();
    QTRY_VERIFY_WITH_TIMEOUT(lost, 10000);
    QVERIFY(!port.portOpen());
}

QTEST_GUILESS_MAIN(TestDevice)
#include "tst_device.moc"

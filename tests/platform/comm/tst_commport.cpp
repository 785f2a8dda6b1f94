#include "comm/CommPort.h"
#include "comm/FakeSerialBackend.h"

#include "forms/VirtualScheduler.h"

#include <QtTest>

using comm::CommError;
using comm::CommPort;
using comm::FakeSerialBackend;
using comm::SerialSettings;

namespace {

// A port on a fake device in virtual time, opened 9600,N,8,1 and reading one byte per event.
struct Rig {
    forms::VirtualScheduler clock;
    FakeSerialBackend* fake = new FakeSerialBackend(clock);
    CommPort port{std::unique_ptr<comm::SerialBackend>(fake), clock};
    QByteArray seen;
    int events = 0;

    Rig() {
        port.setInputLen(1);
        port.setRThreshold(1);
        port.setOnComm([this] {
            ++events;
            seen += port.input();
        });
    }
};

} // namespace

class TestCommPort : public QObject {
    Q_OBJECT

private slots:
    void settingsParse_data();
    void settingsParse();
    void malformedSettingsChangeNothing();
    void deviceForPortFollowsEnvironment();
    void oneEventPerByteEvenWhenBytesArriveTogether();
    void inputLenZeroReadsEverythingAndLaterEventsFindNothing();
    void failedOpenLeavesPortClosed();
    void lostDeviceClosesAndDropsPendingEvents();
    void closingDropsBufferedBytes();
};

void TestCommPort::settingsParse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("default") << "9600,N,8,1" << true << "9600,N,8,1";
    QTest::newRow("lower case, blanks") << " 19200, e ,7,2" << true << "19200,E,7,2";
    QTest::newRow("one and a half") << "300,M,5,1.5" << true << "300,M,5,1.5";
    QTest::newRow("space parity") << "1200,S,6,1" << true << "1200,S,6,1";
    QTest::newRow("odd") << "4800,O,8,1" << true << "4800,O,8,1";
    QTest::newRow("missing field") << "9600,N,8" << false << "";
    QTest::newRow("bad speed") << "fast,N,8,1" << false << "";
    QTest::newRow("zero speed") << "0,N,8,1" << false << "";
    QTest::newRow("bad parity") << "9600,X,8,1" << false << "";
    QTest::newRow("nine data bits") << "9600,N,9,1" << false << "";
    QTest::newRow("four data bits") << "9600,N,4,1" << false << "";
    QTest::newRow("bad stop bits") << "9600,N,8,3" << false << "";
    QTest::newRow("empty") << "" << false << "";
}

void TestCommPort::settingsParse() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, normalised);
    QString why;
    const auto parsed = SerialSettings::parse(text, &why);
    QCOMPARE(parsed.has_value(), ok);
    if (ok) {
        QCOMPARE(parsed->toString(), normalised);
    } else {
        QVERIFY(!why.isEmpty());
    }
}

void TestCommPort::malformedSettingsChangeNothing() {
    Rig rig;
    QCOMPARE(rig.port.setSettings("4800,E,7,2"), CommError::None);
    QCOMPARE(rig.port.setPortOpen(true), CommError::None);
    QCOMPARE(rig.fake->settings().toString(), QString("4800,E,7,2"));
    QCOMPARE(rig.port.setSettings("4800,E,7"), CommError::InvalidSettings);
    QCOMPARE(rig.port.settings(), QString("4800,E,7,2"));
    QCOMPARE(rig.port.setSettings("9600,N,8,1"), CommError::None);
    QCOMPARE(rig.fake->settings().toString(), QString("9600,N,8,1")); // applied while open
}

void TestCommPort::deviceForPortFollowsEnvironment() {
    qunsetenv("BRISORA_COM7");
    QCOMPARE(CommPort::deviceForPort(7), QString("/dev/ttyS6"));
    qputenv("BRISORA_COM7", "/tmp/station");
    QCOMPARE(CommPort::deviceForPort(7), QString("/tmp/station"));
    qunsetenv("BRISORA_COM7");
    Rig rig;
    QCOMPARE(rig.port.setCommPort(0), CommError::InvalidPortNumber);
    QCOMPARE(rig.port.setCommPort(2), CommError::None);
    QCOMPARE(rig.port.setPortOpen(true), CommError::None);
    QCOMPARE(rig.fake->device(), QString("/dev/ttyS1"));
    QCOMPARE(rig.port.setCommPort(3), CommError::PortAlreadyOpen);
}

void TestCommPort::oneEventPerByteEvenWhenBytesArriveTogether() {
    Rig rig;
    rig.port.setPortOpen(true);
    rig.fake->deliverAt(10, QByteArray("\x40\x01\x02", 3));
    rig.fake->deliverAt(20, QByteArray("\xFF", 1));
    rig.clock.advanceTo(100);
    QCOMPARE(rig.events, 4);
    QCOMPARE(rig.seen, QByteArray("\x40\x01\x02\xFF", 4));
}

void TestCommPort::inputLenZeroReadsEverythingAndLaterEventsFindNothing() {
    Rig rig;
    rig.port.setInputLen(0);
    rig.port.setPortOpen(true);
    QList<int> lengths;
    rig.port.setOnComm([&] { lengths << int(rig.port.input().size()); });
    rig.fake->deliverAt(5, "abc");
    rig.clock.advanceTo(10);
    QCOMPARE(lengths, QList<int>({3, 0, 0}));
}

void TestCommPort::failedOpenLeavesPortClosed() {
    Rig rig;
    rig.fake->setOpenFailure(CommError::DeviceBusy, "locked");
    QCOMPARE(rig.port.setPortOpen(true), CommError::DeviceBusy);
    QVERIFY(!rig.port.portOpen());
    QCOMPARE(rig.port.lastErrorDetail(), QString("locked"));
    QCOMPARE(rig.port.output("x"), CommError::PortNotOpen);
    rig.fake->setOpenFailure(CommError::None);
    QCOMPARE(rig.port.setPortOpen(true), CommError::None);
    QCOMPARE(rig.port.output("x"), CommError::None);
}

void TestCommPort::lostDeviceClosesAndDropsPendingEvents() {
    Rig rig;
    rig.port.setPortOpen(true);
    QList<CommError> lost;
    rig.port.setOnLost([&](CommError e, const QString&) { lost << e; });
    rig.fake->deliverAt(10, "abc");
    rig.fake->loseDeviceAt(10, "unplugged");
    rig.clock.advanceTo(10); // bytes and loss at the same moment: events not yet run
    rig.clock.advanceTo(50);
    QCOMPARE(lost, QList<CommError>({CommError::DeviceLost}));
    QVERIFY(!rig.port.portOpen());
    QCOMPARE(rig.events, 0);
    QCOMPARE(rig.port.inBufferCount(), 0);
    QCOMPARE(rig.port.setPortOpen(true), CommError::None); // back when the device is
}

void TestCommPort::closingDropsBufferedBytes() {
    Rig rig;
    rig.port.setPortOpen(true);
    rig.fake->deliverAt(10, "ab");
    rig.fake->deliverAt(30, "c");
    rig.clock.post([&] { rig.port.setPortOpen(false); }, 10); // after the bytes, before events
    rig.clock.advanceTo(20);
    rig.port.setPortOpen(true);
    rig.clock.advanceTo(40);
    QCOMPARE(rig.seen, QByteArray("c"));
    QCOMPARE(rig.events, 1);
}

QTEST_GUILESS_MAIN(TestCommPort)
#include "tst_commport.moc"

// The simulator program itself, over a real pseudo-terminal.

#include "SimulatorProcess.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int kReplyWaitMs = 10000;
const QByteArray kHumidityRequest = QByteArray::fromHex("4001004002040087");
} // namespace

class StationSimPtyTest : public QObject {
    Q_OBJECT

private slots:
    void answersOverThePseudoTerminal();
    void refusesBadOptions();
};

void StationSimPtyTest::answersOverThePseudoTerminal() {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com2"));
    SimulatorProcess sim;
    QVERIFY(sim.start({"--humidity-raw", "512", "--pressure-raw", "512", "--log", "--link", link}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.device());

    RawLine line(link);
    QVERIFY(line.isOpen());
    QVERIFY(line.write(kHumidityRequest));
    QCOMPARE(line.read(8, kReplyWaitMs).toHex(' '), QByteArray("40 00 01 40 02 02 00 85"));

    // Regression: a command line that never ended grew without bound; it is refused, and the
    // next command still works.
    QVERIFY(!sim.command(QString(20000, QLatin1Char('x'))));
    // A fault chosen while running applies to the next request only.
    QVERIFY(sim.command(QStringLiteral("once checksum")));
    QVERIFY(line.write(kHumidityRequest));
    QCOMPARE(line.read(8, kReplyWaitMs).toHex(' '), QByteArray("40 00 01 40 02 02 00 86"));
    QVERIFY(line.write(QByteArray(1, '\x01')));
    QCOMPARE(line.read(8, kReplyWaitMs).toHex(' '), QByteArray("40 00 01 ff 02 00 00 42"));

    // SIGTERM ends it cleanly and takes the symlink away.
    QCOMPARE(sim.terminate(), 0);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());

    // The log saw every byte, both ways, in order: 8 in, 8 out, 8 in, 8 out, 1 in, 8 out.
    QStringList events = sim.wireEvents();
    QCOMPARE(events.size(), 41);
    QCOMPARE(events.first(), QStringLiteral("rx 40"));
    QCOMPARE(events.at(8), QStringLiteral("tx 40"));
    QCOMPARE(events.at(32), QStringLiteral("rx 01"));
}

void StationSimPtyTest::refusesBadOptions() {
    QProcess sim;
    sim.start(testsupport::built(QStringLiteral("station-sim")), {"--mode", "sleepy"});
    QVERIFY(sim.waitForFinished(kReplyWaitMs));
    QCOMPARE(sim.exitCode(), 2);
    QVERIFY(sim.readAllStandardError().contains("unknown mode"));
    QCOMPARE(sim.readAllStandardOutput(), QByteArray());
}

QTEST_GUILESS_MAIN(StationSimPtyTest)
#include "tst_StationSimPty.moc"

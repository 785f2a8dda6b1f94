#include "core/StatusFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using service::StationStatus;
using service::StatusFile;

class tst_StatusFile : public QObject {
    Q_OBJECT

private slots:
    void writtenAndReadBack();
    void describeTellsADeadServiceFromALiveOne();
    void foreignFileIsRefused();
};

void tst_StatusFile::writtenAndReadBack() {
    QTemporaryDir dir;
    const StatusFile file(dir.filePath(QStringLiteral("status.json")));
    StationStatus s;
    s.pid = 1234;
    s.running = true;
    s.station = QStringLiteral("roof");
    s.device = QStringLiteral("/dev/ttyUSB0");
    s.portState = QStringLiteral("busy");
    s.readings = 86400;
    s.failedTicks = 3;
    s.hasReading = true;
    s.lastReadingMs = 1700000000000;
    s.humidityPct = 41.25;
    s.pressureKpa = 101.3;
    QVERIFY(file.write(s));
    QString error;
    const auto back = file.read(&error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(back->pid, s.pid);
    QCOMPARE(back->portState, s.portState);
    QCOMPARE(back->readings, s.readings);
    QCOMPARE(back->failedTicks, s.failedTicks);
    QVERIFY(back->hasReading);
    QCOMPARE(back->lastReadingMs, s.lastReadingMs);
    QCOMPARE(back->humidityPct, s.humidityPct);
}

void tst_StatusFile::describeTellsADeadServiceFromALiveOne() {
    StationStatus s;
    s.pid = ::getpid();
    s.running = true;
    s.updatedMs = 1700000000000;
    QVERIFY(StatusFile::processAlive(s.pid));
    QVERIFY(StatusFile::describe(s, true).startsWith(QStringLiteral("state: running\n")));
    QVERIFY(StatusFile::describe(s, false).startsWith(
        QStringLiteral("state: not running (last seen 2023-11-14 22:13:20 UTC)\n")));
    QVERIFY(StatusFile::describe(s, true).contains(QStringLiteral("last reading: none\n")));
    QVERIFY(!StatusFile::processAlive(0));
    QVERIFY(!StatusFile::processAlive(-5));
}

void tst_StatusFile::foreignFileIsRefused() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("status.json"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[1, 2, 3]");
    f.close();
    QString error;
    QVERIFY(!StatusFile(path).read(&error));
    QVERIFY(error.contains(QStringLiteral("not a status file")));
    QVERIFY(!StatusFile(dir.filePath(QStringLiteral("none.json"))).read(&error));
}

QTEST_GUILESS_MAIN(tst_StatusFile)
#include "tst_StatusFile.moc"

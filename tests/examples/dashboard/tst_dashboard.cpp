// The dashboard: its meters as its Designer form sets them up, the readings reaching them, and
// its readings from CSV rows or made up.
#include "CsvReadings.h"
#include "Dashboard.h"
#include "WaveReadings.h"

#include <GaugeKit/MeterWidget.h>
#include <ProgramRun.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using Rows = QList<QList<double>>;

class TestDashboard : public QObject {
    Q_OBJECT
private slots:
    void csv_data();
    void csv();
    void unreadableFile();
    void fileWithoutReadingsIsRefused_data();
    void fileWithoutReadingsIsRefused();
    void programRefusesAFileWithoutReadings();
    void endlessFileIsRefused();
    void madeUpReadingsStayOnTheDashboardScales();
    void metersCarryTheFormSettings();
    void readingsReachTheMeters();
};

void TestDashboard::csv_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxColumns");
    QTest::addColumn<Rows>("rows");
    QTest::newRow("rows") << "1,2\n3.5, -4\n" << 5 << Rows{{1, 2}, {3.5, -4}};
    QTest::newRow("header, comments and blank lines skipped")
        << "humidity,pressure\n# note\n\n  \n50,101.3" << 5 << Rows{{50, 101.3}};
    QTest::newRow("CRLF line ends") << "1,2\r\n3,4\r\n" << 5 << Rows{{1, 2}, {3, 4}};
    QTest::newRow("columns beyond the limit dropped") << "1,2,3,4" << 2 << Rows{{1, 2}};
    QTest::newRow("a bad field skips the line") << "1,x\n2,3\n4,,5" << 5 << Rows{{2, 3}};
    QTest::newRow("no infinities or NaN") << "inf,1\nnan\n1e999\n7" << 5 << Rows{{7}};
    QTest::newRow("semicolons and decimal commas")
        << "humedad;presión\n45,0;101,2;3,1\r\n 62,5 ; -0,5 \n"
        << 5 << Rows{{45.0, 101.2, 3.1}, {62.5, -0.5}};
    QTest::newRow("no decimal point among semicolons") << "1.013,2;5\n1;2" << 5 << Rows{{1, 2}};
    QTest::newRow("without semicolons a comma separates") << "1,5\n2,x" << 5 << Rows{{1, 5}};
    QTest::newRow("empty") << "" << 5 << Rows{};
}

void TestDashboard::csv() {
    QFETCH(QString, text);
    QFETCH(int, maxColumns);
    QFETCH(Rows, rows);
    QCOMPARE(CsvReadings::parse(text, maxColumns), rows);
}

void TestDashboard::unreadableFile() {
    QTemporaryDir dir;
    Rows rows{{1}};
    QString error;
    QVERIFY(!CsvReadings::load(dir.filePath(QStringLiteral("missing.csv")), 5, &rows, &error));
    QVERIFY(error.startsWith(QStringLiteral("cannot read ")));
    QCOMPARE(rows, (Rows{{1}}));
}

void TestDashboard::fileWithoutReadingsIsRefused_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << QByteArray("humidity,pressure\n# none yet\n");
    QTest::newRow("no number in any row") << QByteArray("45.0;101.2\nx,y\n");
}

void TestDashboard::fileWithoutReadingsIsRefused() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("readings.csv"));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    Rows rows{{1}};
    QString error;
    QVERIFY(!CsvReadings::load(name, 5, &rows, &error));
    QCOMPARE(error, QStringLiteral("no readings in ") + name);
    QCOMPARE(rows, (Rows{{1}}));
}

void TestDashboard::programRefusesAFileWithoutReadings() {
    // It used to play made-up readings instead, as if no file had been named.
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("empty.csv"));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const testsupport::ProgramRun run = testsupport::runProgram(
        QStringLiteral("gaugekit-dashboard"), {QStringLiteral("--csv"), name});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QStringLiteral("no readings in ") + name), qPrintable(run.err));
}

void TestDashboard::endlessFileIsRefused() {
    if (!QFile::exists(QStringLiteral("/dev/zero")))
        QSKIP("no /dev/zero here");
    Rows rows;
    QString error;
    QVERIFY(!CsvReadings::load(QStringLiteral("/dev/zero"), 5, &rows, &error));
    QCOMPARE(error, QStringLiteral("/dev/zero is larger than 16 MiB"));
}

void TestDashboard::madeUpReadingsStayOnTheDashboardScales() {
    for (int n = 0; n < 500; ++n) {
        const QList<double> r = WaveReadings::at(n);
        QCOMPARE(r.size(), 5);
        QVERIFY(r[0] >= 0 && r[0] <= 100);
        QVERIFY(r[1] >= 95 && r[1] <= 110);
        for (int wind = 2; wind < 5; ++wind)
            QVERIFY(r[wind] >= 0 && r[wind] <= 15);
    }
}

void TestDashboard::metersCarryTheFormSettings() {
    Dashboard dashboard;
    using GaugeKit::MeterWidget;
    auto* humidity = dashboard.findChild<MeterWidget*>(QStringLiteral("humidity"));
    auto* pressure = dashboard.findChild<MeterWidget*>(QStringLiteral("pressure"));
    auto* wind = dashboard.findChild<MeterWidget*>(QStringLiteral("wind"));
    QVERIFY(humidity && pressure && wind);
    QCOMPARE(humidity->scaleMax(), 100.0);
    QCOMPARE(humidity->unitsString(), QStringLiteral("%"));
    QCOMPARE(pressure->type(), 1);
    QCOMPARE(pressure->scaleMin(), 95.0);
    QCOMPARE(pressure->windowBackgroundColor(), QColor(224, 232, 240));
    QCOMPARE(pressure->titleString().value(0), QStringLiteral("Presión"));
    QCOMPARE(wind->numChannels(), 3);
    QCOMPARE(wind->titleString().value(2), QStringLiteral("3 anemómetros"));
}

void TestDashboard::readingsReachTheMeters() {
    Dashboard dashboard;
    dashboard.resize(700, 260);
    for (int i = 0; i < 3; ++i)
        dashboard.grab();
    dashboard.showReading({90.0, 101.3, 2.0});
    auto* alarm = dashboard.findChild<QLabel*>(QStringLiteral("alarm"));
    QVERIFY(alarm);
    QCOMPARE(alarm->text(), QStringLiteral("Humidity, channel 1: high at 90.0"));
    dashboard.showReading({50.0, 96.0});
    QCOMPARE(alarm->text(), QStringLiteral("Pressure, channel 1: low at 96.0"));
}

QTEST_MAIN(TestDashboard)
#include "tst_dashboard.moc"

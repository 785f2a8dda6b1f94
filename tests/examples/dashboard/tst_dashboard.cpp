// The dashboard's readings: CSV rows as the feed plays them, and the made-up readings.
#include "CsvReadings.h"
#include "WaveReadings.h"

#include <QTemporaryDir>
#include <QTest>

using Rows = QList<QList<double>>;

class TestDashboard : public QObject {
    Q_OBJECT
private slots:
    void csv_data();
    void csv();
    void unreadableFile();
    void madeUpReadingsStayOnTheDashboardScales();
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
    QTest::newRow("comma decimal is no number") << "1,5;2" << 5 << Rows{};
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
    QVERIFY(!CsvReadings::load(dir.filePath(QStringLiteral("missing.csv")), 5, &rows));
    QCOMPARE(rows, (Rows{{1}}));
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

QTEST_APPLESS_MAIN(TestDashboard)
#include "tst_dashboard.moc"

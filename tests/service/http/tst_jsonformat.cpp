// The API's ISO times are written without asking the time zone for every one of them; they must
// still read exactly as Qt writes them, on both sides of every offset change.

#include "JsonFormat.h"

#include <QDateTime>
#include <QTest>

class tst_JsonFormat : public QObject {
    Q_OBJECT
private slots:
    void isoTimeMatchesQt_data();
    void isoTimeMatchesQt();
};

void tst_JsonFormat::isoTimeMatchesQt_data() {
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<qint64>("fromMs");
    QTest::addColumn<qint64>("stepMs");
    QTest::addColumn<int>("count");
    const qint64 day = 86400000;
    const qint64 year2026 = 1767225600000; // 2026-01-01T00:00:00Z
    // A year in quarter-hour steps: both changes of the summer time.
    QTest::newRow("Madrid, a year") << QByteArray("Europe/Madrid") << year2026 << day / 96 << 35040;
    QTest::newRow("UTC, a year") << QByteArray("UTC") << year2026 << day / 96 << 35040;
    // Offsets of whole half and quarter hours, a southern summer, seconds around a change.
    QTest::newRow("St Johns") << QByteArray("America/St_Johns") << year2026 << 3600007LL << 9000;
    QTest::newRow("Kathmandu") << QByteArray("Asia/Kathmandu") << year2026 << 3600007LL << 9000;
    QTest::newRow("Sydney") << QByteArray("Australia/Sydney") << year2026 << 3600007LL << 9000;
    // 2026-10-25T01:00:00Z, Madrid's clocks go back: every second of the hour either side.
    QTest::newRow("Madrid, autumn change")
        << QByteArray("Europe/Madrid") << qint64(1792890000000 - 3600000) << 1000LL << 7200;
    // Before 1970, and years Qt writes in another shape.
    QTest::newRow("Madrid, 1960s")
        << QByteArray("Europe/Madrid") << -300000000000LL << 86400013LL << 400;
    QTest::newRow("far years") << QByteArray("Europe/Madrid") << qint64(-62135596800000) - 2 * day
                               << 97 * 365 * day << 100;
}

void tst_JsonFormat::isoTimeMatchesQt() {
    QFETCH(QByteArray, zone);
    QFETCH(qint64, fromMs);
    QFETCH(qint64, stepMs);
    QFETCH(int, count);
    const QTimeZone tz(zone);
    QVERIFY(tz.isValid());
    const http::JsonFormat json(tz);
    for (int i = 0; i < count; ++i) {
        const qint64 ms = fromMs + i * stepMs;
        const QString expected = QDateTime::fromMSecsSinceEpoch(ms, tz).toString(Qt::ISODateWithMs);
        if (json.isoTime(ms) != expected) {
            QFAIL(qPrintable(
                QStringLiteral("%1 ms: %2, Qt writes %3").arg(ms).arg(json.isoTime(ms), expected)));
        }
    }
    // Asked out of order, a time before the last one looks its offset up again.
    QCOMPARE(json.isoTime(fromMs),
             QDateTime::fromMSecsSinceEpoch(fromMs, tz).toString(Qt::ISODateWithMs));
}

QTEST_GUILESS_MAIN(tst_JsonFormat)
#include "tst_jsonformat.moc"

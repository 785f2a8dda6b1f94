// Daily figures split at local midnight of an explicit zone, across midnight and across both
// daylight-saving changes; the quarter-hour summaries against the readings themselves; the
// text forms of the export. The suite runs on both engines (SQLite, PostgreSQL).

#include "ArchiveRig.h"

#include "archive/ArchiveCsv.h"
#include "archive/LocalDays.h"

#include <QDateTime>
#include <QLocale>
#include <QtTest>

using archive::ArchiveCsv;
using archive::ArchiveReader;
using archive::Entry;
using archive::LocalDay;

namespace {

const QTimeZone kMadrid("Europe/Madrid");

qint64 localMs(const QString& iso, const QTimeZone& zone = kMadrid) {
    QDateTime t = QDateTime::fromString(iso, Qt::ISODate);
    t.setTimeZone(zone);
    return t.toMSecsSinceEpoch();
}

// Makes `locale` the default while it lives; the one before comes back when it goes, also when
// a check fails on the way.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_saved); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    const QLocale m_saved;
};

struct Archive {
    TestArchive where{currentBackend()};
    std::unique_ptr<archive::ArchiveStore> store = where.ready() ? where.store() : nullptr;
    Archive() {
        if (store) {
            store->open(archive::ArchiveStore::Mode::Write);
        }
    }

    // Appends in batches of a few hundred, as the writer does, so summaries get merged.
    void append(const std::vector<Entry>& entries) {
        for (std::size_t i = 0; i < entries.size(); i += 333) {
            const std::size_t n = std::min<std::size_t>(333, entries.size() - i);
            QCOMPARE(store->append(std::span(entries).subspan(i, n)), com::S_OK);
        }
    }
    std::vector<ArchiveReader::DailyRow> daily(QDate from, QDate to, const QTimeZone& zone) {
        std::vector<ArchiveReader::DailyRow> rows;
        ArchiveReader(*store).daily(from, to, zone, rows);
        return rows;
    }
};

} // namespace

class tst_daily : public QObject {
    Q_OBJECT

private slots:
    void dayLengths_data();
    void dayLengths();
    void acrossMidnight();
    void acrossDaylightSavingChanges_data();
    void acrossDaylightSavingChanges();
    void summariesAgreeWithReadings_data();
    void summariesAgreeWithReadings();
    void textForms();
    void repeatedExtremeKeepsTheFirstTime();
};

void tst_daily::dayLengths_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<qint64>("hours");
    QTest::newRow("summer day") << QDate(2026, 6, 1) << "Europe/Madrid" << 24LL;
    QTest::newRow("spring forward") << QDate(2026, 3, 29) << "Europe/Madrid" << 23LL;
    QTest::newRow("fall back") << QDate(2026, 10, 25) << "Europe/Madrid" << 25LL;
    QTest::newRow("southern spring") << QDate(2026, 10, 4) << "Australia/Sydney" << 23LL;
    QTest::newRow("no daylight saving") << QDate(2026, 3, 29) << "Asia/Kolkata" << 24LL;
}

void tst_daily::dayLengths() {
    QFETCH(QDate, date);
    QFETCH(QString, zone);
    QFETCH(qint64, hours);
    const QTimeZone tz(zone.toLatin1());
    QVERIFY(tz.isValid());
    const auto days = LocalDay::range(date.addDays(-1), date.addDays(1), tz);
    QCOMPARE(days.size(), 3u);
    QCOMPARE(days[1].date, date);
    QCOMPARE(days[1].endMs - days[1].startMs, hours * 3600 * 1000);
    QCOMPARE(days[0].endMs, days[1].startMs);
    QCOMPARE(LocalDay::dateOf(days[1].startMs, tz), date);
    QCOMPARE(LocalDay::dateOf(days[1].endMs - 1, tz), date);
}

void tst_daily::acrossMidnight() {
    Archive a;
    REQUIRE_ARCHIVE(a.where);
    // 23:58:00 to 00:01:59 local, one reading a second: 120 on each side of midnight.
    const auto readings = syntheticReadings(localMs("2026-06-01T23:58:00"), 240);
    a.append(readings);
    const auto rows = a.daily(QDate(2026, 6, 1), QDate(2026, 6, 2), kMadrid);
    QCOMPARE(rows.size(), 2u);
    QCOMPARE(rows[0].date, QDate(2026, 6, 1));
    QCOMPARE(rows[0].stats.count, 120);
    QCOMPARE(rows[1].stats.count, 120);
    // The second half restarts nowhere near the saw-tooth's start: extremes are computed per day.
    for (const auto& row : rows) {
        ArchiveReader::DailyRow expected{row.date, {}};
        for (const Entry& e : readings) {
            if (LocalDay::dateOf(e.timeMs, kMadrid) == row.date) {
                expected.stats.add(e.timeMs, e.humidityPct, e.pressureKpa);
            }
        }
        QCOMPARE(row.stats.humidity.minMs, expected.stats.humidity.minMs);
        QCOMPARE(row.stats.humidity.max, expected.stats.humidity.max);
        QCOMPARE(row.stats.pressure.maxMs, expected.stats.pressure.maxMs);
        QCOMPARE(row.stats.humidityMean(), expected.stats.humidityMean());
    }
}

void tst_daily::acrossDaylightSavingChanges_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<qint64>("count");
    QTest::newRow("spring forward") << QDate(2026, 3, 29) << 23LL * 360;
    QTest::newRow("fall back") << QDate(2026, 10, 25) << 25LL * 360;
}

void tst_daily::acrossDaylightSavingChanges() {
    QFETCH(QDate, date);
    QFETCH(qint64, count);
    Archive a;
    REQUIRE_ARCHIVE(a.where);
    // Every ten seconds from an hour before the day to an hour after it.
    const qint64 start = LocalDay::startOf(date, kMadrid) - 3600 * 1000;
    auto readings = syntheticReadings(start, static_cast<int>(count + 720), 10000);
    // The day's peak in the hour the clock changes (the second 02:30 on the long day).
    const qint64 peakMs = LocalDay::startOf(date, kMadrid) + 150 * 60 * 1000;
    for (Entry& e : readings) {
        if (e.timeMs == peakMs) {
            e.humidityPct = 99.5;
        }
    }
    a.append(readings);
    const auto rows = a.daily(date.addDays(-1), date.addDays(1), kMadrid);
    QCOMPARE(rows.size(), 3u);
    QCOMPARE(rows[0].stats.count, 360);
    QCOMPARE(rows[1].stats.count, count);
    QCOMPARE(rows[2].stats.count, 360);
    QCOMPARE(rows[1].stats.humidity.max, 99.5);
    QCOMPARE(rows[1].stats.humidity.maxMs, peakMs);
}

void tst_daily::summariesAgreeWithReadings_data() {
    QTest::addColumn<QString>("zone");
    QTest::newRow("Madrid") << "Europe/Madrid";
    QTest::newRow("half-hour offset") << "Asia/Kolkata";
    QTest::newRow("three-quarter offset") << "Asia/Kathmandu";
    QTest::newRow("negative half-hour offset") << "America/St_Johns";
}

void tst_daily::summariesAgreeWithReadings() {
    QFETCH(QString, zone);
    const QTimeZone tz(zone.toLatin1());
    Archive a;
    REQUIRE_ARCHIVE(a.where);
    // Three days at an odd step, so readings straddle quarter hours and batches.
    const qint64 start = LocalDay::startOf(QDate(2026, 3, 27), tz) - 777;
    a.append(syntheticReadings(start, 3 * 24 * 360 + 5, 9990));
    const auto rows = a.daily(QDate(2026, 3, 26), QDate(2026, 3, 31), tz);
    QVERIFY(rows.size() >= 3u);
    for (const auto& row : rows) {
        archive::ReadingStats raw;
        QCOMPARE(
            ArchiveReader(*a.store).statsFromReadings(
                LocalDay::startOf(row.date, tz), LocalDay::startOf(row.date.addDays(1), tz), raw),
            com::S_OK);
        QCOMPARE(row.stats.count, raw.count);
        QCOMPARE(row.stats.humidity.min, raw.humidity.min);
        QCOMPARE(row.stats.humidity.minMs, raw.humidity.minMs);
        QCOMPARE(row.stats.humidity.maxMs, raw.humidity.maxMs);
        QCOMPARE(row.stats.pressure.minMs, raw.pressure.minMs);
        QCOMPARE(row.stats.pressure.max, raw.pressure.max);
        QVERIFY(qAbs(row.stats.pressureMean() - raw.pressureMean()) < 1e-9);
    }
}

// The same maximum and minimum reached twice in one quarter hour, the second time in a later
// batch (so the quarter's summary is merged): the day tells the first time.
void tst_daily::repeatedExtremeKeepsTheFirstTime() {
    Archive a;
    const qint64 t0 = localMs("2026-06-01T10:01:00");
    const auto at = [t0](qint64 s, double h, double p) {
        return Entry::reading(t0 + s * 1000, h, p, 0, 0);
    };
    a.append({at(0, 50, 95), at(1, 80, 101), at(2, 20, 90)});
    a.append({at(60, 80, 101), at(61, 20, 90), at(62, 50, 95)});
    const auto rows = a.daily(QDate(2026, 6, 1), QDate(2026, 6, 1), kMadrid);
    QCOMPARE(rows.size(), 1u);
    QCOMPARE(rows[0].stats.count, 6);
    QCOMPARE(rows[0].stats.humidity.maxMs, t0 + 1000);
    QCOMPARE(rows[0].stats.humidity.minMs, t0 + 2000);
    QCOMPARE(rows[0].stats.pressure.maxMs, t0 + 1000);
    QCOMPARE(rows[0].stats.pressure.minMs, t0 + 2000);
}

void tst_daily::textForms() {
    // The user's locale must not turn the decimal point into a comma.
    const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    const ArchiveCsv csv(kMadrid);
    const qint64 firstHalfPast2 = localMs("2026-10-25T00:30:00", QTimeZone::utc());
    QCOMPARE(csv.time(firstHalfPast2), QStringLiteral("2026-10-25T02:30:00.000+02:00"));
    QCOMPARE(csv.time(firstHalfPast2 + 3600 * 1000),
             QStringLiteral("2026-10-25T02:30:00.000+01:00"));
    const Entry e = Entry::reading(firstHalfPast2, 43.602564102564102, 64.99992602657, 512, 512);
    QCOMPARE(
        csv.readingRow(e),
        QStringLiteral("2026-10-25T02:30:00.000+02:00,43.6025641025641,64.99992602657,512,512"));
    QCOMPARE(ArchiveCsv::number(-20.5), QStringLiteral("-20.5"));
    QCOMPARE(ArchiveCsv::number(1e-7), QStringLiteral("0.0000001"));
    QCOMPARE(ArchiveCsv::readingHeader(),
             QStringLiteral("time,humidity_pct,pressure_kpa,raw_humidity,raw_pressure"));
}

BRISORA_ARCHIVE_TEST_MAIN(tst_daily)
#include "tst_daily.moc"

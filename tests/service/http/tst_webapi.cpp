// The web server's API over the loopback address: the routes' fields and types, ranges across
// local midnight and daylight-saving changes, buckets against the rows they sum (on an archive
// file and on a PostgreSQL server of the test's own), the stations of a shared database, the
// errors, the token, the live feed and the security headers.

#include "WebRig.h"

#include "PostgresServer.h"
#include "ProgramRun.h"

#include "archive/ArchiveCsv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QWebSocket>

#include <cmath>

using webtest::kBaseMs;
using webtest::Response;
using webtest::Rig;

namespace {

// Readings stepMs apart from startMs; values wander so extremes fall inside spans.
std::vector<archive::Entry> readings(qint64 startMs, int count, qint64 stepMs) {
    std::vector<archive::Entry> out;
    for (int i = 0; i < count; ++i) {
        const auto rawH = static_cast<quint16>(400 + (i * 37) % 311);
        const auto rawP = static_cast<quint16>(9000 + (i * 53) % 487);
        out.push_back(archive::Entry::reading(startMs + i * stepMs, rawH / 10.0 + 0.25,
                                              rawP / 100.0 + 0.125, rawH, rawP));
    }
    return out;
}

QJsonObject object(const Response& r) {
    return QJsonDocument::fromJson(r.body).object();
}

qint64 ms(const char* iso) {
    return QDateTime::fromString(QLatin1StringView(iso), Qt::ISODateWithMs).toMSecsSinceEpoch();
}

} // namespace

class tst_WebApi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void stationsOfOneFile();
    void stationsOfASharedDatabaseServedApart();
    void ownStationNotWrittenYet();
    void currentHasEveryFieldWithItsType();
    void readingsComeRawWhenFewerThanPoints();
    void bucketsAgreeWithTheRows_data();
    void bucketsAgreeWithTheRows();
    void rangeAcrossMidnightAndSpringChange();
    void dailyMatchesTheArchiveTool_data();
    void dailyMatchesTheArchiveTool();
    void exportMatchesTheArchiveTool_data();
    void exportMatchesTheArchiveTool();
    void healthTurnsWhenReadingsStop();
    void errors_data();
    void errors();
    void tokenRequiredAndRefused();
    void nonLoopbackNeedsAToken();
    void liveFeedSendsEveryTickInOrder();
    void liveFeedRefusesWithoutToken();
    void securityHeadersAndTags();

private:
    // Points the rig at a fresh database of the server (when `postgres`).
    void useBackend(Rig& rig, bool postgres);

    std::unique_ptr<testsupport::PostgresServer> m_pg;
    int m_databases = 0;
};

void tst_WebApi::initTestCase() {
    m_pg = std::make_unique<testsupport::PostgresServer>();
    if (!m_pg->start()) {
        qWarning("the PostgreSQL cases are skipped: %s", qPrintable(m_pg->error()));
        m_pg.reset();
    }
}

void tst_WebApi::cleanupTestCase() {
    m_pg.reset();
}

namespace {

const char* backendName(bool postgres) {
    return postgres ? "postgresql" : "file";
}

} // namespace

void tst_WebApi::useBackend(Rig& rig, bool postgres) {
    if (!postgres) {
        return;
    }
    REQUIRE_POSTGRES(m_pg, QStringLiteral("the PostgreSQL server did not start"));
    const QString db = QStringLiteral("web_%1").arg(++m_databases);
    QVERIFY2(m_pg->createDatabase(db), qPrintable(m_pg->error()));
    rig.options.archivePath = m_pg->url(db);
}

// The file keeps one station: the service's own, under its name; any other is not there.
void tst_WebApi::stationsOfOneFile() {
    Rig rig;
    QVERIFY(rig.archive(readings(kBaseMs, 30, 1000)));
    QVERIFY(rig.start());
    const QJsonObject o = object(rig.get(QStringLiteral("/api/stations")));
    QCOMPARE(o.value("station").toString(), QStringLiteral("Cobertizo"));
    const QJsonArray list = o.value("stations").toArray();
    QCOMPARE(int(list.size()), 1);
    const QJsonObject only = list.first().toObject();
    QCOMPARE(only.value("name").toString(), QStringLiteral("Cobertizo"));
    QCOMPARE(only.value("count").toInteger(), 30);
    QCOMPARE(only.value("first_ms").toInteger(), kBaseMs);
    QCOMPARE(only.value("last").toString(), QStringLiteral("2026-03-01T01:00:29.000+01:00"));
    QCOMPARE(rig.get(QStringLiteral("/api/readings?station=Cobertizo&from=0")).status, 200);
    const Response other = rig.get(QStringLiteral("/api/daily?station=Era"));
    QCOMPARE(other.status, 404);
    QCOMPARE(object(other).value("error").toString(),
             QStringLiteral("station: the archive holds no station Era"));
}

// Two stations writing into one database; each route reads the station asked for, the
// service's own without a name, and never the other's rows.
void tst_WebApi::stationsOfASharedDatabaseServedApart() {
    Rig rig;
    useBackend(rig, true);
    const auto own = readings(kBaseMs, 40, 60000);
    const auto other = readings(kBaseMs + 30000, 25, 120000);
    QVERIFY(rig.archive(own));
    QVERIFY(rig.archive(other, QStringLiteral("Era")));
    rig.now = kBaseMs + 86400000;
    QVERIFY(rig.start());

    const QJsonArray list =
        object(rig.get(QStringLiteral("/api/stations"))).value("stations").toArray();
    QCOMPARE(int(list.size()), 2);
    const QJsonObject cobertizo = list.at(0).toObject();
    const QJsonObject era = list.at(1).toObject();
    QCOMPARE(cobertizo.value("name").toString(), QStringLiteral("Cobertizo"));
    QCOMPARE(cobertizo.value("count").toInteger(), 40);
    QCOMPARE(era.value("name").toString(), QStringLiteral("Era"));
    QCOMPARE(era.value("count").toInteger(), 25);
    QCOMPARE(era.value("first_ms").toInteger(), other.front().timeMs);
    QCOMPARE(era.value("last_ms").toInteger(), other.back().timeMs);

    const auto firstTimes = [&](const QString& query) {
        const QJsonObject o = object(rig.get(QStringLiteral("/api/readings?from=0") + query));
        QList<qint64> times;
        for (const QJsonValue& r : o.value("readings").toArray()) {
            times << r.toObject().value("time_ms").toInteger();
        }
        return std::make_pair(o.value("station").toString(), times);
    };
    const auto [ownName, ownTimes] = firstTimes({});
    QCOMPARE(ownName, QStringLiteral("Cobertizo"));
    QCOMPARE(ownTimes.size(), 40);
    QCOMPARE(ownTimes.first(), own.front().timeMs);
    const auto [eraName, eraTimes] = firstTimes(QStringLiteral("&station=Era"));
    QCOMPARE(eraName, QStringLiteral("Era"));
    QCOMPARE(eraTimes.size(), 25);
    QCOMPARE(eraTimes.last(), other.back().timeMs);

    const QJsonArray days =
        object(rig.get(QStringLiteral("/api/daily?station=Era&from=2026-03-01&to=2026-03-01")))
            .value("days")
            .toArray();
    QCOMPARE(int(days.size()), 1);
    QCOMPARE(days.first().toObject().value("count").toInt(), 25);
    const Response csv = rig.get(QStringLiteral("/api/export.csv?station=Era"));
    QCOMPARE(csv.status, 200);
    QCOMPARE(int(csv.body.count('\n')), 1 + 25);

    const Response missing = rig.get(QStringLiteral("/api/readings?station=Prado"));
    QCOMPARE(missing.status, 404);
    QCOMPARE(object(missing).value("error").toString(),
             QStringLiteral("station: the archive holds no station Prado"));
}

// A service whose writer has not reached the database yet serves its live readings and says
// the history is not there yet, rather than naming its own station unknown.
void tst_WebApi::ownStationNotWrittenYet() {
    Rig rig;
    useBackend(rig, true);
    QVERIFY(rig.start());
    const Response r = rig.get(QStringLiteral("/api/readings"));
    QCOMPARE(r.status, 503);
    QCOMPARE(object(r).value("error").toString(),
             QStringLiteral("the archive holds no readings yet"));
    QVERIFY(rig.archive(readings(kBaseMs - 5000, 5, 1000)));
    QCOMPARE(object(rig.get(QStringLiteral("/api/readings"))).value("count").toInt(), 5);
}

void tst_WebApi::currentHasEveryFieldWithItsType() {
    Rig rig;
    QVERIFY(rig.start());
    rig.server->setPortState(QStringLiteral("/dev/ttyS0"), QStringLiteral("open"));
    rig.server->addTick(archive::Entry::reading(kBaseMs - 2000, 40.5, 101.25, 800, 9500));
    rig.server->addTick(archive::Entry::failure(kBaseMs - 1500, archive::EntryKind::Timeout));
    rig.server->addTick(archive::Entry::reading(kBaseMs - 1000, 42.5, 100.75, 820, 9400));
    const Response r = rig.get(QStringLiteral("/api/current"));
    QCOMPARE(r.status, 200);
    QCOMPARE(r.header("Content-Type"), QByteArray("application/json; charset=utf-8"));
    const QJsonObject o = object(r);
    QCOMPARE(o.value("station").toString(), QStringLiteral("Cobertizo"));
    QCOMPARE(o.value("time").toString(), QStringLiteral("2026-03-01T00:59:59.000+01:00"));
    QCOMPARE(o.value("time_ms").toInteger(), kBaseMs - 1000);
    QCOMPARE(o.value("age_ms").toInt(), 1000);
    QCOMPARE(o.value("humidity_pct").toDouble(), 42.5);
    QCOMPARE(o.value("pressure_kpa").toDouble(), 100.75);
    QCOMPARE(o.value("raw_humidity").toInt(), 820);
    QCOMPARE(o.value("raw_pressure").toInt(), 9400);
    QCOMPARE(o.value("port").toObject().value("device").toString(), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(o.value("port").toObject().value("state").toString(), QStringLiteral("open"));
    QCOMPARE(o.value("last_tick").toObject().value("kind").toString(), QStringLiteral("reading"));
    const QJsonObject since = o.value("since_start").toObject();
    QCOMPARE(since.value("ticks").toInt(), 3);
    QCOMPARE(since.value("count").toInt(), 2);
    QCOMPARE(since.value("failed").toInt(), 1);
    QCOMPARE(since.value("failures").toObject().value("timeout").toInt(), 1);
    const QJsonObject h = since.value("humidity_pct").toObject();
    QCOMPARE(h.value("min").toDouble(), 40.5);
    QCOMPARE(h.value("max").toDouble(), 42.5);
    QCOMPARE(h.value("mean").toDouble(), 41.5);
    QCOMPARE(h.value("max_time_ms").toInteger(), kBaseMs - 1000);
    QCOMPARE(since.value("pressure_kpa").toObject().value("mean").toDouble(), 101.0);
    QVERIFY(since.value("started_ms").isDouble());
}

void tst_WebApi::readingsComeRawWhenFewerThanPoints() {
    Rig rig;
    QVERIFY(rig.archive(readings(kBaseMs, 100, 1000)));
    QVERIFY(rig.start());
    const Response r = rig.get(QStringLiteral("/api/readings?from=%1&to=%2&points=100")
                                   .arg(kBaseMs)
                                   .arg(kBaseMs + 100000));
    QCOMPARE(r.status, 200);
    const QJsonObject o = object(r);
    QCOMPARE(o.value("bucketed").toBool(), false);
    QCOMPARE(o.value("count").toInt(), 100);
    const QJsonArray rows = o.value("readings").toArray();
    QCOMPARE(int(rows.size()), 100);
    const QJsonObject first = rows.first().toObject();
    QCOMPARE(first.value("time").toString(), QStringLiteral("2026-03-01T01:00:00.000+01:00"));
    QCOMPARE(first.value("time_ms").toInteger(), kBaseMs);
    QCOMPARE(first.value("humidity_pct").toDouble(), 40.25);
    QCOMPARE(first.value("raw_pressure").toInt(), 9000);
    // The default range is the day before now.
    rig.now = kBaseMs + 50500;
    QCOMPARE(object(rig.get(QStringLiteral("/api/readings"))).value("count").toInt(), 51);
}

void tst_WebApi::bucketsAgreeWithTheRows_data() {
    QTest::addColumn<bool>("postgres");
    QTest::addColumn<qint64>("step");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<int>("points");
    // Narrow buckets are summed from the rows; wide ones come from the quarter-hour summaries
    // with the partial quarters at both ends from the rows.
    for (const bool postgres : {false, true}) {
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s, %s", name, backendName(postgres)) << postgres;
        };
        row("summed from rows") << qint64(10000) << 2000 << kBaseMs + 7000 << kBaseMs + 19000000
                                << 50;
        row("on the quarters' grid")
            << qint64(60000) << 4320 << kBaseMs + 450000 << kBaseMs + 2 * 86400000 + 780000 << 40;
        row("range inside one quarter")
            << qint64(1000) << 3000 << kBaseMs + 1000 << kBaseMs + 800000 << 7;
    }
}

void tst_WebApi::bucketsAgreeWithTheRows() {
    QFETCH(bool, postgres);
    QFETCH(qint64, step);
    QFETCH(int, count);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(int, points);
    Rig rig;
    useBackend(rig, postgres);
    const auto rows = readings(kBaseMs, count, step);
    QVERIFY(rig.archive(rows));
    QVERIFY(rig.start());
    const QJsonObject o = object(rig.get(
        QStringLiteral("/api/readings?from=%1&to=%2&points=%3").arg(from).arg(to).arg(points)));
    QVERIFY(o.value("bucketed").toBool());
    const QJsonArray buckets = o.value("buckets").toArray();
    QVERIFY(!buckets.isEmpty());
    QVERIFY(buckets.size() <= points);
    qint64 total = 0;
    qint64 previousEnd = from;
    for (const QJsonValue& v : buckets) {
        const QJsonObject b = v.toObject();
        const qint64 start = b.value("start_ms").toInteger();
        const qint64 end = b.value("end_ms").toInteger();
        QVERIFY(start >= previousEnd && end > start && end <= to);
        previousEnd = end;
        qint64 n = 0;
        double hMin = INFINITY, hMax = -INFINITY, hSum = 0, pMin = INFINITY, pMax = -INFINITY,
               pSum = 0;
        for (const auto& e : rows) {
            if (e.timeMs >= start && e.timeMs < end) {
                ++n;
                hMin = std::min(hMin, e.humidityPct);
                hMax = std::max(hMax, e.humidityPct);
                hSum += e.humidityPct;
                pMin = std::min(pMin, e.pressureKpa);
                pMax = std::max(pMax, e.pressureKpa);
                pSum += e.pressureKpa;
            }
        }
        QCOMPARE(b.value("count").toInteger(), n);
        const QJsonObject h = b.value("humidity_pct").toObject();
        const QJsonObject p = b.value("pressure_kpa").toObject();
        QCOMPARE(h.value("min").toDouble(), hMin);
        QCOMPARE(h.value("max").toDouble(), hMax);
        QVERIFY(std::abs(h.value("mean").toDouble() - hSum / n) < 1e-9);
        QCOMPARE(p.value("min").toDouble(), pMin);
        QCOMPARE(p.value("max").toDouble(), pMax);
        QVERIFY(std::abs(p.value("mean").toDouble() - pSum / n) < 1e-9);
        total += n;
    }
    const auto inRange = std::count_if(rows.begin(), rows.end(), [&](const archive::Entry& e) {
        return e.timeMs >= from && e.timeMs < to;
    });
    QCOMPARE(total, qint64(inRange));
    QCOMPARE(o.value("count").toInteger(), qint64(inRange));
}

// Local midnight of 29 March 2026 in Madrid is 23:00 UTC the day before; at 02:00 the clocks
// jump to 03:00, so 00:00..04:00 local holds three hours of readings.
void tst_WebApi::rangeAcrossMidnightAndSpringChange() {
    Rig rig;
    QVERIFY(rig.archive(readings(ms("2026-03-28T22:00:00Z"), 72, 300000)));
    QVERIFY(rig.start());
    const QJsonObject o =
        object(rig.get(QStringLiteral("/api/readings?from=2026-03-29&to=2026-03-29T04:00:00")));
    QCOMPARE(o.value("from").toString(), QStringLiteral("2026-03-29T00:00:00.000+01:00"));
    QCOMPARE(o.value("to").toString(), QStringLiteral("2026-03-29T04:00:00.000+02:00"));
    QCOMPARE(o.value("count").toInt(), 36);
    const QJsonArray rows = o.value("readings").toArray();
    QCOMPARE(int(rows.size()), 36);
    QCOMPARE(rows.at(0).toObject().value("time").toString(),
             QStringLiteral("2026-03-29T00:00:00.000+01:00"));
    QCOMPARE(rows.at(23).toObject().value("time").toString(),
             QStringLiteral("2026-03-29T01:55:00.000+01:00"));
    QCOMPARE(rows.at(24).toObject().value("time").toString(),
             QStringLiteral("2026-03-29T03:00:00.000+02:00"));
    // The same instant with an explicit offset, and as epoch milliseconds.
    QCOMPARE(object(rig.get(QStringLiteral("/api/readings?from=2026-03-28T23:00:00Z&to=%1")
                                .arg(ms("2026-03-29T02:00:00Z"))))
                 .value("count")
                 .toInt(),
             36);
}

void tst_WebApi::dailyMatchesTheArchiveTool_data() {
    QTest::addColumn<bool>("postgres");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("longDayCount");
    // A 23-hour day in spring and a 25-hour day in autumn, between ordinary ones.
    for (const bool postgres : {false, true}) {
        QTest::addRow("spring, %s", backendName(postgres)) << postgres << "2026-03-27T22:00:00Z"
                                                           << "2026-03-28"
                                                           << "2026-03-30" << 276;
        QTest::addRow("autumn, %s", backendName(postgres)) << postgres << "2026-10-23T21:00:00Z"
                                                           << "2026-10-24"
                                                           << "2026-10-26" << 300;
    }
}

void tst_WebApi::dailyMatchesTheArchiveTool() {
    QFETCH(bool, postgres);
    QFETCH(QString, start);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, longDayCount);
    Rig rig;
    useBackend(rig, postgres);
    QVERIFY(rig.archive(readings(ms(start.toLatin1().constData()), 4 * 288, 300000)));
    QVERIFY(rig.start());
    const Response r = rig.get(QStringLiteral("/api/daily?from=%1&to=%2").arg(from, to));
    QCOMPARE(r.status, 200);
    const QJsonArray days = object(r).value("days").toArray();
    QCOMPARE(int(days.size()), 3);
    QCOMPARE(days.at(1).toObject().value("count").toInt(), longDayCount);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Madrid"));
    env.insert(QStringLiteral("BRISORA_ARCHIVE"), rig.options.archivePath);
    const auto tool = testsupport::runProgram(
        QStringLiteral("brisora-archive"),
        {QStringLiteral("daily"), QStringLiteral("--from"), from, QStringLiteral("--to"), to}, env);
    QCOMPARE(tool.exitCode, 0);
    QStringList lines = tool.out.split(u'\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    QCOMPARE(lines.size(), days.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject d = days.at(i).toObject();
        QStringList fields{d.value("date").toString(), QString::number(d.value("count").toInt())};
        for (const char* q : {"humidity_pct", "pressure_kpa"}) {
            const QJsonObject s = d.value(QLatin1StringView(q)).toObject();
            fields << archive::ArchiveCsv::number(s.value("min").toDouble())
                   << s.value("min_time").toString()
                   << archive::ArchiveCsv::number(s.value("max").toDouble())
                   << s.value("max_time").toString()
                   << archive::ArchiveCsv::number(s.value("mean").toDouble());
        }
        QCOMPARE(fields.join(u','), lines.at(i));
    }
}

void tst_WebApi::exportMatchesTheArchiveTool_data() {
    QTest::addColumn<bool>("postgres");
    QTest::newRow("file") << false;
    QTest::newRow("postgresql") << true;
}

void tst_WebApi::exportMatchesTheArchiveTool() {
    QFETCH(bool, postgres);
    Rig rig;
    useBackend(rig, postgres);
    QVERIFY(rig.archive(readings(ms("2026-03-28T22:00:00Z"), 12000, 30000)));
    QVERIFY(rig.start());
    const Response r = rig.get(QStringLiteral("/api/export.csv?from=2026-03-29&to=2026-03-30"));
    QCOMPARE(r.status, 200);
    QCOMPARE(r.header("Content-Type"), QByteArray("text/csv; charset=utf-8"));
    QVERIFY(r.header("Content-Disposition").startsWith("attachment"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Madrid"));
    env.insert(QStringLiteral("BRISORA_ARCHIVE"), rig.options.archivePath);
    const auto tool = testsupport::runProgram(QStringLiteral("brisora-archive"),
                                              {QStringLiteral("export"), QStringLiteral("--from"),
                                               QStringLiteral("2026-03-29"), QStringLiteral("--to"),
                                               QStringLiteral("2026-03-30")},
                                              env);
    QCOMPARE(tool.exitCode, 0);
    // Two local days, the first of 23 hours, in many chunks of the stream.
    QCOMPARE(int(r.body.count('\n')), 1 + (23 + 24) * 120);
    QCOMPARE(QString::fromUtf8(r.body), tool.out);

    const Response head = rig.client.request("HEAD", rig.url(QStringLiteral("/api/export.csv")));
    QCOMPARE(head.status, 200);
    QVERIFY(head.body.isEmpty());
}

void tst_WebApi::healthTurnsWhenReadingsStop() {
    Rig rig;
    QVERIFY(rig.start());
    rig.now += 30000;
    QCOMPARE(rig.get(QStringLiteral("/api/health")).status, 200);
    rig.now += 31000;
    Response r = rig.get(QStringLiteral("/api/health"));
    QCOMPARE(r.status, 503);
    QCOMPARE(object(r).value("reason").toString(),
             QStringLiteral("no reading since the service started 61 s ago"));
    rig.server->addTick(archive::Entry::reading(rig.now, 50, 100, 1, 1));
    QCOMPARE(rig.get(QStringLiteral("/api/health")).status, 200);
    rig.now += 60000;
    QCOMPARE(rig.get(QStringLiteral("/api/health")).status, 200);
    rig.now += 2000;
    r = rig.get(QStringLiteral("/api/health"));
    QCOMPARE(r.status, 503);
    QCOMPARE(object(r).value("reason").toString(), QStringLiteral("no reading for 62 s"));
}

void tst_WebApi::errors_data() {
    QTest::addColumn<QByteArray>("verb");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("bad date") << QByteArray("GET") << "/api/readings?from=yesterday" << 400
                              << "from: not a date, an ISO 8601 time or epoch milliseconds";
    QTest::newRow("bad to") << QByteArray("GET") << "/api/readings?to=2026-02-30" << 400
                            << "to: not a date, an ISO 8601 time or epoch milliseconds";
    QTest::newRow("from after to")
        << QByteArray("GET") << "/api/readings?from=2000&to=1000" << 400 << "from: after to";
    QTest::newRow("points zero") << QByteArray("GET") << "/api/readings?points=0" << 400
                                 << "points: must be a whole number from 1 to 10000";
    QTest::newRow("points too many") << QByteArray("GET") << "/api/readings?points=10001" << 400
                                     << "points: must be a whole number from 1 to 10000";
    QTest::newRow("points not a number") << QByteArray("GET") << "/api/readings?points=1e3" << 400
                                         << "points: must be a whole number from 1 to 10000";
    QTest::newRow("unknown parameter")
        << QByteArray("GET") << "/api/readings?step=5" << 400 << "step: unknown parameter";
    QTest::newRow("given twice") << QByteArray("GET") << "/api/readings?to=1&to=2" << 400
                                 << "to: given more than once";
    QTest::newRow("current takes none")
        << QByteArray("GET") << "/api/current?x=1" << 400 << "x: unknown parameter";
    QTest::newRow("daily bad date") << QByteArray("GET") << "/api/daily?from=2026-13-01" << 400
                                    << "from: not a date YYYY-MM-DD";
    QTest::newRow("daily reversed")
        << QByteArray("GET") << "/api/daily?from=2026-03-02&to=2026-03-01" << 400
        << "from: after to";
    QTest::newRow("station empty") << QByteArray("GET") << "/api/readings?station=" << 400
                                   << "station: must be a name of 1 to 64 printable characters";
    QTest::newRow("station too long")
        << QByteArray("GET") << QStringLiteral("/api/daily?station=") + QString(65, u'a') << 400
        << "station: must be a name of 1 to 64 printable characters";
    QTest::newRow("station with a line break")
        << QByteArray("GET") << "/api/export.csv?station=a%0Ab" << 400
        << "station: must be a name of 1 to 64 printable characters";
    QTest::newRow("station given twice") << QByteArray("GET") << "/api/readings?station=a&station=b"
                                         << 400 << "station: given more than once";
    QTest::newRow("stations takes none")
        << QByteArray("GET") << "/api/stations?station=a" << 400 << "station: unknown parameter";
    QTest::newRow("export unknown")
        << QByteArray("GET") << "/api/export.csv?format=xls" << 400 << "format: unknown parameter";
    QTest::newRow("not found") << QByteArray("GET") << "/api/nothing" << 404 << "no such resource";
    QTest::newRow("dot dot") << QByteArray("GET") << "/%2e%2e/%2e%2e/etc/passwd" << 404
                             << "no such resource";
    QTest::newRow("encoded slash")
        << QByteArray("GET") << "/api%2fcurrent" << 404 << "no such resource";
    QTest::newRow("post") << QByteArray("POST") << "/api/current" << 405
                          << "only GET and HEAD are answered";
    QTest::newRow("delete") << QByteArray("DELETE") << "/" << 405
                            << "only GET and HEAD are answered";
    QTest::newRow("live without upgrade")
        << QByteArray("GET") << "/api/live" << 426 << "/api/live is a WebSocket";
}

void tst_WebApi::errors() {
    QFETCH(QByteArray, verb);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QString, error);
    Rig rig;
    QVERIFY(rig.archive(readings(kBaseMs, 10, 1000)));
    QVERIFY(rig.start());
    const Response r = rig.client.request(verb, QUrl(rig.url({}).toString() + path));
    QCOMPARE(r.status, status);
    QCOMPARE(object(r).value("error").toString(), error);
    if (status == 405) {
        QCOMPARE(r.header("Allow"), QByteArray("GET, HEAD"));
    }
}

void tst_WebApi::tokenRequiredAndRefused() {
    Rig rig;
    rig.options.token = QStringLiteral("s3cret-token");
    QVERIFY(rig.start());
    Response r = rig.get(QStringLiteral("/api/current"));
    QCOMPARE(r.status, 401);
    QCOMPARE(object(r).value("error").toString(), QStringLiteral("a token is required"));
    QCOMPARE(rig.get(QStringLiteral("/api/current"), {{"Authorization", "Bearer wrong"}}).status,
             401);
    QCOMPARE(
        rig.get(QStringLiteral("/api/current"), {{"Authorization", "Bearer s3cret-tokenX"}}).status,
        401);
    QCOMPARE(
        rig.get(QStringLiteral("/api/current"), {{"Authorization", "Bearer s3cret-token"}}).status,
        200);
    // ?token= works on the page only, once: it sets the cookie and sends the browser back.
    QCOMPARE(rig.get(QStringLiteral("/api/current?token=s3cret-token")).status, 401);
    QCOMPARE(rig.get(QStringLiteral("/?token=wrong")).status, 401);
    r = rig.get(QStringLiteral("/?token=s3cret-token"));
    QCOMPARE(r.status, 303);
    QCOMPARE(r.header("Location"), QByteArray("/"));
    const QByteArray cookie = r.header("Set-Cookie");
    QVERIFY(cookie.contains("HttpOnly"));
    QVERIFY(cookie.contains("SameSite=Strict"));
    QVERIFY(!cookie.contains("s3cret-token"));
    const QByteArray pair = cookie.left(cookie.indexOf(';'));
    QCOMPARE(rig.get(QStringLiteral("/api/current"), {{"Cookie", pair}}).status, 200);
    QCOMPARE(rig.get(QStringLiteral("/"), {{"Cookie", pair}}).status, 200);
    QCOMPARE(rig.get(QStringLiteral("/api/current"), {{"Cookie", pair + "0"}}).status, 401);
}

void tst_WebApi::nonLoopbackNeedsAToken() {
    http::WebOptions o;
    QVERIFY(o.refusal().isEmpty());
    bool enabled = true;
    QVERIFY(http::WebOptions::parseListen(QStringLiteral("192.0.2.1:9000"), o, enabled).isEmpty());
    QVERIFY(enabled);
    QCOMPARE(o.port, quint16(9000));
    QCOMPARE(o.refusal(), QStringLiteral("listen: 192.0.2.1 is not a loopback address; set token, "
                                         "or allow_anonymous = true for a trusted network"));
    http::WebServer refused(o);
    QVERIFY(!refused.start());
    QCOMPARE(refused.errorString(), o.refusal());
    o.allowAnonymous = true;
    QVERIFY(o.refusal().isEmpty());
    o.allowAnonymous = false;
    o.token = QStringLiteral("t");
    QVERIFY(o.refusal().isEmpty());

    QVERIFY(http::WebOptions::parseListen(QStringLiteral("[::1]:8471"), o, enabled).isEmpty());
    QVERIFY(o.address.isLoopback());
    QVERIFY(http::WebOptions::parseListen(QStringLiteral("off"), o, enabled).isEmpty());
    QVERIFY(!enabled);
    QVERIFY(
        !http::WebOptions::parseListen(QStringLiteral("127.0.0.1:70000"), o, enabled).isEmpty());
    QVERIFY(!http::WebOptions::parseListen(QStringLiteral("shed:80"), o, enabled).isEmpty());
}

void tst_WebApi::liveFeedSendsEveryTickInOrder() {
    Rig rig;
    QVERIFY(rig.start());
    QWebSocket ws;
    QStringList messages;
    connect(&ws, &QWebSocket::textMessageReceived, this, [&](const QString& m) { messages << m; });
    ws.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(rig.server->port())));
    QTRY_COMPARE_WITH_TIMEOUT(int(messages.size()), 1, 10000);
    QCOMPARE(QJsonDocument::fromJson(messages.first().toUtf8()).object().value("type").toString(),
             QStringLiteral("hello"));
    QCOMPARE(rig.server->liveClients(), 1);
    constexpr int kTicks = 50;
    for (int i = 0; i < kTicks; ++i) {
        rig.server->addTick(i % 10 == 9
                                ? archive::Entry::failure(kBaseMs + i, archive::EntryKind::PortLost)
                                : archive::Entry::reading(kBaseMs + i, i, 100, 1, 2));
    }
    rig.server->setPortState(QStringLiteral("/dev/ttyS0"), QStringLiteral("lost"));
    QTRY_COMPARE_WITH_TIMEOUT(int(messages.size()), kTicks + 2, 10000);
    for (int i = 0; i < kTicks; ++i) {
        const QJsonObject m = QJsonDocument::fromJson(messages.at(i + 1).toUtf8()).object();
        QCOMPARE(m.value("type").toString(), QStringLiteral("tick"));
        QCOMPARE(m.value("n").toInt(), i + 1);
        QCOMPARE(m.value("time_ms").toInteger(), kBaseMs + i);
        QCOMPARE(m.value("kind").toString(),
                 i % 10 == 9 ? QStringLiteral("port_lost") : QStringLiteral("reading"));
    }
    const QJsonObject port = QJsonDocument::fromJson(messages.last().toUtf8()).object();
    QCOMPARE(port.value("state").toString(), QStringLiteral("lost"));
    ws.close();
    QTRY_COMPARE_WITH_TIMEOUT(rig.server->liveClients(), 0, 10000);
}

void tst_WebApi::liveFeedRefusesWithoutToken() {
    Rig rig;
    rig.options.token = QStringLiteral("s3cret");
    QVERIFY(rig.start());
    const QUrl url(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(rig.server->port()));
    QWebSocket refused;
    QSignalSpy closed(&refused, &QWebSocket::disconnected);
    refused.open(url);
    QVERIFY(closed.wait(10000));
    QCOMPARE(refused.closeCode(), QWebSocketProtocol::CloseCodePolicyViolated);

    QNetworkRequest request(url);
    request.setRawHeader("Authorization", "Bearer s3cret");
    // A page of another site, riding on a browser that holds the token, is turned away.
    QWebSocket foreign(QStringLiteral("http://elsewhere.example"));
    QSignalSpy foreignClosed(&foreign, &QWebSocket::disconnected);
    foreign.open(request);
    QVERIFY(foreignClosed.wait(10000));
    QCOMPARE(foreign.closeCode(), QWebSocketProtocol::CloseCodePolicyViolated);

    QWebSocket admitted;
    QSignalSpy hello(&admitted, &QWebSocket::textMessageReceived);
    admitted.open(request);
    QVERIFY(hello.wait(10000));
}

void tst_WebApi::securityHeadersAndTags() {
    Rig rig;
    QVERIFY(rig.start());
    for (const QString& path : {QStringLiteral("/"), QStringLiteral("/api/current")}) {
        const Response r = rig.get(path);
        QCOMPARE(r.status, 200);
        QVERIFY(r.header("Content-Security-Policy").contains("default-src 'none'"));
        QCOMPARE(r.header("X-Content-Type-Options"), QByteArray("nosniff"));
        QVERIFY(!r.header("Cache-Control").isEmpty());
    }
    const Response page = rig.get(QStringLiteral("/uplot.js"));
    QCOMPARE(page.status, 200);
    QVERIFY(page.body.contains("uPlot"));
    const QByteArray tag = page.header("ETag");
    QVERIFY(!tag.isEmpty());
    const Response again = rig.get(QStringLiteral("/uplot.js"), {{"If-None-Match", tag}});
    QCOMPARE(again.status, 304);
    QVERIFY(again.body.isEmpty());
}

QTEST_MAIN(tst_WebApi)
#include "tst_webapi.moc"

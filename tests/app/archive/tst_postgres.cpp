// What only the PostgreSQL archive has: many stations in one database, each writer and reader
// keeping to its own; the server stopped under a running writer and started again with every
// reading there once; another session's lock; a user without the right to create the layout
// told so plainly, and a user with only the rights to write and read doing both; the month
// partitions the writer makes.

#include "ArchiveRig.h"

#include "archive/ArchiveWriter.h"
#include "archive/PostgresArchive.h"
#include "archive/ThreadedSink.h"

#include "forms/VirtualScheduler.h"

#include <QDeadlineTimer>
#include <QSqlError>
#include <QtTest>

#include <limits>

using archive::ArchiveReader;
using archive::ArchiveStore;
using archive::ArchiveWriter;
using archive::Entry;
using Mode = ArchiveStore::Mode;

namespace {

constexpr qint64 kAll = std::numeric_limits<qint64>::max();
constexpr qint64 kJanuary2026 = 1'767'225'600'000; // 2026-01-01T00:00:00Z

qint64 readingCount(const ArchiveStore& db) {
    qint64 n = 0;
    ArchiveReader(db).readings(std::numeric_limits<qint64>::min(), kAll, [&](const Entry&) {
        ++n;
        return true;
    });
    return n;
}

// A writer on the virtual clock with its batches written on the sink's thread, as the
// console has it.
struct Acquisition {
    forms::VirtualScheduler clock;
    QStringList notices;
    ArchiveWriter writer;
    qint64 next;

    Acquisition(const archive::ArchiveLocation& where, qint64 startMs)
        : writer(std::make_unique<archive::ThreadedSink>(where), clock,
                 {.flushIntervalMs = 1000, .capacity = 24 * 60 * 60, .maxBatch = 50000})
        , next(startMs) {
        writer.setNotice([this](const QString& n) { notices << n; });
        writer.start();
    }
    // One tick, then the beat; waits until the tick is written or the write has failed (a
    // beat that met a write under way is made up for at once).
    void tick() {
        writer.add(Entry::reading(next, 40.0 + (next / 1000) % 50, 101.0, 1, 2));
        next += 1000;
        clock.advanceBy(1000);
        QDeadlineTimer deadline(30000);
        while (writer.queued() > 0 && writer.state() != ArchiveWriter::State::Retrying &&
               !deadline.hasExpired()) {
            QTest::qWait(5);
            writer.flush();
        }
        QVERIFY(!deadline.hasExpired());
    }
};

} // namespace

class tst_postgres : public QObject {
    Q_OBJECT

private slots:
    void twoStationsWritingAtOnce();
    void serverStoppedAndStartedAgain();
    void lockHeldByAnotherSession();
    void userWithoutCreateRights();
    void partitionsPerMonth();
    void readingNeedsAStationWhenThereAreSeveral();
};

void tst_postgres::twoStationsWritingAtOnce() {
    TestArchive a(Backend::Postgres);
    REQUIRE_ARCHIVE(a);
    {
        Acquisition north(a.location(QStringLiteral("norte")), kJanuary2026);
        Acquisition south(a.location(QStringLiteral("sur")), kJanuary2026 + 500);
        for (int i = 0; i < 20; ++i) {
            north.tick();
            south.tick();
            south.tick();
        }
        QCOMPARE(north.writer.close(), com::S_OK);
        QCOMPARE(south.writer.close(), com::S_OK);
        QCOMPARE(north.notices + south.notices, QStringList());
    }
    auto north = a.store(QStringLiteral("norte"));
    auto south = a.store(QStringLiteral("sur"));
    QCOMPARE(north->open(Mode::Read), com::S_OK);
    QCOMPARE(south->open(Mode::Read), com::S_OK);
    QCOMPARE(readingCount(*north), 20);
    QCOMPARE(readingCount(*south), 40);
    // Each its own: the south station's half-second stamps never show in the north's.
    ArchiveReader(*north).readings(0, kAll, [](const Entry& e) { return e.timeMs % 1000 == 0; });
    ArchiveReader::Summary s;
    QCOMPARE(ArchiveReader(*south).summary(60000, s), com::S_OK);
    QCOMPARE(s.count, 40);
    QCOMPARE(s.firstMs, kJanuary2026 + 500);
    std::vector<ArchiveStore::StationInfo> list;
    QCOMPARE(north->stations(list), com::S_OK);
    QCOMPARE(list.size(), std::size_t{2});
    QCOMPARE(list[0].name, QStringLiteral("norte"));
    QCOMPARE(list[0].count, 20);
    QCOMPARE(list[1].name, QStringLiteral("sur"));
    QCOMPARE(list[1].count, 40);
}

void tst_postgres::serverStoppedAndStartedAgain() {
    // The outage lasts a few seconds of real time, during which a dozen ticks come: what the
    // writer does depends on its writes failing and succeeding again, not on how long the
    // server was away, so a 20-second outage would test nothing more.
    TestArchive a(Backend::Postgres);
    REQUIRE_ARCHIVE(a);
    testsupport::PostgresServer& server = *a.server();
    int total = 0;
    {
        Acquisition acq(a.location(QStringLiteral("torre")), kJanuary2026);
        for (; total < 10; ++total) {
            acq.tick();
        }
        QCOMPARE(acq.writer.state(), ArchiveWriter::State::Writing);
        server.stop();
        for (int i = 0; i < 12; ++i, ++total) {
            acq.tick(); // acquisition goes on; batches wait
            QTest::qWait(200);
        }
        QCOMPARE(acq.writer.state(), ArchiveWriter::State::Retrying);
        QVERIFY(acq.writer.queued() >= 12);
        QCOMPARE(acq.notices.size(), 1); // said once
        QVERIFY2(acq.notices[0].contains(u"no se puede conectar con el servidor"),
                 qPrintable(acq.notices[0]));
        QVERIFY(!acq.notices[0].contains(u"password"));
        QVERIFY(server.start());
        for (int i = 0; i < 5; ++i, ++total) {
            acq.tick();
        }
        QTRY_COMPARE_WITH_TIMEOUT(acq.writer.state(), ArchiveWriter::State::Writing, 30000);
        QCOMPARE(acq.writer.close(), com::S_OK);
        QCOMPARE(acq.notices.size(), 2);
        QCOMPARE(acq.notices[1], QString()); // the trouble is over
    }
    auto db = a.store(QStringLiteral("torre"));
    QCOMPARE(db->open(Mode::Read), com::S_OK);
    // Every reading there once, in order.
    QList<qint64> times;
    ArchiveReader(*db).readings(0, kAll, [&](const Entry& e) {
        times << e.timeMs;
        return true;
    });
    QCOMPARE(times.size(), total);
    for (int i = 0; i < total; ++i) {
        QCOMPARE(times[i], kJanuary2026 + i * 1000);
    }
    QStringList problems;
    QCOMPARE(ArchiveReader(*db).check(problems), com::S_OK);
    QCOMPARE(problems, QStringList());
}

void tst_postgres::lockHeldByAnotherSession() {
    TestArchive a(Backend::Postgres);
    REQUIRE_ARCHIVE(a);
    archive::PostgresArchive db(a.location(), {.lockTimeoutMs = 200});
    QCOMPARE(db.open(Mode::Write), com::S_OK);
    QCOMPARE(db.append(syntheticReadings(kJanuary2026, 5)), com::S_OK);
    const QString name = QStringLiteral("holder");
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        other.setHostName(QStringLiteral("127.0.0.1"));
        other.setPort(a.server()->port());
        other.setUserName(QStringLiteral("postgres"));
        other.setDatabaseName(a.database());
        QVERIFY(other.open());
        QSqlQuery q(other);
        QVERIFY(q.exec(QStringLiteral("BEGIN")));
        QVERIFY(q.exec(QStringLiteral("LOCK TABLE quarter_hours IN ACCESS EXCLUSIVE MODE")));
        QCOMPARE(db.append(syntheticReadings(kJanuary2026 + 5000, 5)),
                 archive::STG_E_LOCKVIOLATION);
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
    QCOMPARE(db.append(syntheticReadings(kJanuary2026 + 5000, 5)), com::S_OK);
    QCOMPARE(readingCount(db), 10);
}

void tst_postgres::userWithoutCreateRights() {
    TestArchive a(Backend::Postgres);
    REQUIRE_ARCHIVE(a);
    testsupport::PostgresServer& server = *a.server();
    server.exec(QStringLiteral("DROP ROLE IF EXISTS logger"));
    QVERIFY(server.exec(QStringLiteral("CREATE ROLE logger LOGIN")));
    auto asLogger = [&](const QString& station) {
        return archive::makeStore(archive::ArchiveLocation::parse(
            server.url(a.database(), station, QStringLiteral("logger"))));
    };
    // No layout yet, and no right to make one: said plainly.
    auto db = asLogger(QStringLiteral("campo"));
    QCOMPARE(db->open(Mode::Write), archive::E_ARCHIVE_NOSCHEMA);
    QVERIFY(archive::describe(archive::E_ARCHIVE_NOSCHEMA).contains(u"propietario"));
    QVERIFY2(db->lastError().contains(u"permission denied"), qPrintable(db->lastError()));
    QVERIFY(!archive::isPermanent(archive::E_ARCHIVE_NOSCHEMA)); // the owner may still make it

    // The owner lays it out and grants what writing and reading need.
    {
        auto owner = a.store(QStringLiteral("casa"));
        QCOMPARE(owner->open(Mode::Write), com::S_OK);
        QCOMPARE(owner->append(syntheticReadings(kJanuary2026, 3)), com::S_OK);
    }
    QVERIFY(a.exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE ON ALL TABLES IN SCHEMA public "
                                  "TO logger")));
    QVERIFY(a.exec(QStringLiteral("GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO logger")));
    QCOMPARE(db->open(Mode::Write), com::S_OK);
    // January has its partition; March has none and this user cannot make it: the default
    // partition keeps its readings.
    const qint64 march = kJanuary2026 + 59LL * 24 * 3600 * 1000;
    QCOMPARE(db->append(syntheticReadings(kJanuary2026 + 10'000, 4)), com::S_OK);
    QCOMPARE(db->append(syntheticReadings(march, 4)), com::S_OK);
    QCOMPARE(readingCount(*db), 8);
    QVERIFY(a.exec(QStringLiteral("DO $$ BEGIN IF (SELECT count(*) FROM readings_default) <> 4 "
                                  "THEN RAISE 'not in the default partition'; END IF; END $$")));
}

void tst_postgres::partitionsPerMonth() {
    TestArchive a(Backend::Postgres);
    REQUIRE_ARCHIVE(a);
    auto db = a.store();
    QCOMPARE(db->open(Mode::Write), com::S_OK);
    // The last minute of January and the first of February; and a clock at 1960.
    QCOMPARE(db->append(syntheticReadings(kJanuary2026 + 31LL * 86'400'000 - 60'000, 120)),
             com::S_OK);
    QCOMPARE(db->append(syntheticReadings(-315'619'200'000, 2)), com::S_OK);
    QSqlQuery q(db->connection());
    QVERIFY(q.exec(QStringLiteral("SELECT tableoid::regclass::text, count(*) FROM readings "
                                  "GROUP BY 1 ORDER BY 1")));
    QStringList where;
    while (q.next()) {
        where << QStringLiteral("%1 %2").arg(q.value(0).toString()).arg(q.value(1).toInt());
    }
    QCOMPARE(where, (QStringList{QStringLiteral("readings_2026_01 60"),
                                 QStringLiteral("readings_2026_02 60"),
                                 QStringLiteral("readings_default 2")}));
    // A second writer that meets the partitions already made goes on as well.
    auto other = a.store(QStringLiteral("otra"));
    QCOMPARE(other->open(Mode::Write), com::S_OK);
    QCOMPARE(other->append(syntheticReadings(kJanuary2026 + 31LL * 86'400'000, 10)), com::S_OK);
    QCOMPARE(readingCount(*other), 10);
}

void tst_postgres::readingNeedsAStationWhenThereAreSeveral() {
    TestArchive a(Backend::Postgres);
    REQUIRE_ARCHIVE(a);
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b")}) {
        auto db = a.store(name);
        QCOMPARE(db->open(Mode::Write), com::S_OK);
        if (name == u"a") {
            auto only = a.store();
            QCOMPARE(only->open(Mode::Read), com::S_OK); // the only one: no need to name it
            QCOMPARE(only->station(), QStringLiteral("a"));
        }
    }
    auto db = a.store();
    QCOMPARE(db->open(Mode::Read), archive::E_ARCHIVE_STATIONNEEDED);
    QCOMPARE(db->open(Mode::List), com::S_OK);
    auto missing = a.store(QStringLiteral("c"));
    QCOMPARE(missing->open(Mode::Read), archive::E_ARCHIVE_NOSTATION);
}

QTEST_GUILESS_MAIN(tst_postgres)
#include "tst_postgres.moc"

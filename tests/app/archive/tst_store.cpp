// The archive's behaviours that hold on every engine, run once on SQLite and once on
// PostgreSQL: written batches read back in order, ticks of the same millisecond both kept,
// failed ticks with their kind, an empty, foreign, newer or older archive named as such, the
// threaded writer, the check and the list of stations, and a copy into the other engine that
// doubles nothing when run twice.

#include "ArchiveRig.h"

#include "archive/ArchiveCopy.h"
#include "archive/ArchiveSchema.h"
#include "archive/ArchiveWriter.h"
#include "archive/PostgresSchema.h"
#include "archive/ThreadedSink.h"

#include "forms/VirtualScheduler.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <limits>

using archive::ArchiveReader;
using archive::ArchiveStore;
using archive::Entry;
using archive::EntryKind;
using Mode = ArchiveStore::Mode;

namespace {

constexpr qint64 kAll = std::numeric_limits<qint64>::max();

QList<Entry> readBack(const ArchiveStore& db, qint64 from = 0, qint64 to = kAll) {
    QList<Entry> out;
    ArchiveReader(db).readings(from, to, [&](const Entry& e) {
        out << e;
        return true;
    });
    return out;
}

// The statement that marks the archive with another layout version.
QString setVersion(Backend backend, int version) {
    return backend == Backend::Sqlite
               ? QStringLiteral("PRAGMA user_version = %1").arg(version)
               : QStringLiteral("UPDATE archive_schema SET version = %1").arg(version);
}

int currentVersion(Backend backend) {
    return backend == Backend::Sqlite ? archive::schema::kVersion : archive::pgschema::kVersion;
}

} // namespace

class tst_store : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("engine: %s", backendName(currentBackend())); }
    void createsWritesAndReadsBack();
    void sameMillisecondKeepsBoth();
    void failuresKeptWithTheirKind();
    void blankArchiveIsEmptyForReading();
    void foreignTablesNeverTouched();
    void newerLayoutNeverTouched();
    void olderLayoutNamedAsOlder();
    void threadedWriterWritesTheArchive();
    void checkAndStations();
    void copyTwiceDoublesNothing();
};

void tst_store::createsWritesAndReadsBack() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    const auto batch = syntheticReadings(1'700'000'000'000, 10);
    {
        auto db = a.store();
        QCOMPARE(db->open(Mode::Write), com::S_OK);
        QCOMPARE(db->append(batch), com::S_OK);
        QCOMPARE(db->append({}), com::S_OK);
    }
    auto db = a.store();
    QCOMPARE(db->open(Mode::Read), com::S_OK);
    const QList<Entry> back = readBack(*db);
    QCOMPARE(back, QList<Entry>(batch.begin(), batch.end())); // every value exactly
    QCOMPARE(readBack(*db, 1'700'000'000'002, 1'700'000'000'004).size(), 0);
    QCOMPARE(readBack(*db, 1'700'000'002'000, 1'700'000'004'000).size(), 2);
}

void tst_store::sameMillisecondKeepsBoth() {
    // A clock set back can stamp two ticks alike: both stay, in the order they came.
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    auto db = a.store();
    QCOMPARE(db->open(Mode::Write), com::S_OK);
    const std::vector<Entry> batch{
        Entry::reading(5000, 40.0, 100.0, 1, 2), Entry::reading(5000, 41.0, 101.0, 3, 4),
        Entry::failure(5000, EntryKind::Timeout), Entry::failure(5000, EntryKind::Timeout)};
    QCOMPARE(db->append(batch), com::S_OK);
    QCOMPARE(db->append(std::vector<Entry>{Entry::reading(5000, 42.0, 102.0, 5, 6)}), com::S_OK);
    QList<quint16> raws;
    for (const Entry& e : readBack(*db)) {
        raws << e.rawHumidity;
    }
    QCOMPARE(raws, (QList<quint16>{1, 3, 5}));
    QCOMPARE(rowCount(*db, QStringLiteral("failures")), 2);
}

void tst_store::failuresKeptWithTheirKind() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    auto db = a.store();
    QCOMPARE(db->open(Mode::Write), com::S_OK);
    const std::vector<Entry> batch{
        Entry::failure(1000, EntryKind::Timeout), Entry::reading(2000, 40.0, 100.0, 1, 2),
        Entry::failure(3000, EntryKind::PortLost), Entry::failure(4000, EntryKind::PortCannotOpen),
        Entry::failure(5000, EntryKind::PortCannotOpen)};
    QCOMPARE(db->append(batch), com::S_OK);
    ArchiveReader::Summary s;
    QCOMPARE(ArchiveReader(*db).summary(60000, s), com::S_OK);
    QCOMPARE(s.count, 1);
    QCOMPARE(s.failures[EntryKind::Timeout], 1);
    QCOMPARE(s.failures[EntryKind::PortLost], 1);
    QCOMPARE(s.failures[EntryKind::PortCannotOpen], 2);
    std::vector<Entry> all;
    QCOMPARE(ArchiveReader(*db).entries(0, kAll, all), com::S_OK);
    QCOMPARE(QList<Entry>(all.begin(), all.end()), QList<Entry>(batch.begin(), batch.end()));
}

void tst_store::blankArchiveIsEmptyForReading() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    if (a.backend() == Backend::Sqlite) {
        const QString path = a.location().path;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile empty(path);
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }
    auto db = a.store();
    QCOMPARE(db->open(Mode::Read), archive::E_ARCHIVE_EMPTY);
    QCOMPARE(db->open(Mode::List), archive::E_ARCHIVE_EMPTY);
}

void tst_store::foreignTablesNeverTouched() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    if (a.backend() == Backend::Sqlite) {
        QVERIFY(QDir().mkpath(QFileInfo(a.location().path).absolutePath()));
        const QString name = QStringLiteral("foreign");
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            other.setDatabaseName(a.location().path);
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(QStringLiteral("CREATE TABLE readings (x TEXT)")));
            other.close();
        }
        QSqlDatabase::removeDatabase(name);
    } else {
        // Another program's table of the same name: never taken for an archive.
        QVERIFY(a.exec(QStringLiteral("CREATE TABLE readings (x text)")));
    }
    auto db = a.store();
    QCOMPARE(db->open(Mode::Write), archive::E_ARCHIVE_NOTARCHIVE);
    QCOMPARE(db->append(syntheticReadings(0, 3)), archive::E_ARCHIVE_CANTOPEN);
    QCOMPARE(db->open(Mode::Read), archive::E_ARCHIVE_NOTARCHIVE);
}

void tst_store::newerLayoutNeverTouched() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    {
        auto db = a.store();
        QCOMPARE(db->open(Mode::Write), com::S_OK);
        QCOMPARE(db->append(syntheticReadings(0, 3)), com::S_OK);
    }
    QVERIFY(a.exec(setVersion(a.backend(), currentVersion(a.backend()) + 1)));
    auto db = a.store();
    QCOMPARE(db->open(Mode::Write), archive::E_ARCHIVE_NEWERSCHEMA);
    QCOMPARE(db->open(Mode::Read), archive::E_ARCHIVE_NEWERSCHEMA);
    QVERIFY(archive::isPermanent(archive::E_ARCHIVE_NEWERSCHEMA));
}

// Regression: an archive of an older layout was said to be of a newer program.
void tst_store::olderLayoutNamedAsOlder() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    {
        auto db = a.store();
        QCOMPARE(db->open(Mode::Write), com::S_OK);
    }
    QVERIFY(a.exec(setVersion(a.backend(), 0)));
    auto db = a.store();
    QCOMPARE(db->open(Mode::Read), archive::E_ARCHIVE_OLDERSCHEMA);
}

void tst_store::threadedWriterWritesTheArchive() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    forms::VirtualScheduler clock;
    QStringList notices;
    {
        archive::ArchiveWriter writer(std::make_unique<archive::ThreadedSink>(a.location()), clock,
                                      {.flushIntervalMs = 5000});
        writer.setNotice([&](const QString& n) { notices << n; });
        writer.start();
        for (int i = 0; i < 12; ++i) {
            writer.add(Entry::reading(i * 1000, 50.0 + i, 100.0, 1, 2));
            clock.advanceBy(1000);
        }
        // Written off this thread while the ticks go on; the beats that met a write under way
        // are made up for here.
        QDeadlineTimer deadline(30000);
        while (writer.queued() > 0 && !deadline.hasExpired()) {
            QTest::qWait(5);
            writer.flush();
        }
        QCOMPARE(writer.state(), archive::ArchiveWriter::State::Writing);
        writer.add(Entry::reading(12'000, 62.0, 100.0, 1, 2));
        QCOMPARE(writer.close(), com::S_OK); // the rest, at once
    }
    QCOMPARE(notices, QStringList());
    auto db = a.store();
    QCOMPARE(db->open(Mode::Read), com::S_OK);
    QCOMPARE(readBack(*db).size(), 13);
    QCOMPARE(readBack(*db).last().humidityPct, 62.0);
}

void tst_store::checkAndStations() {
    TestArchive a(currentBackend());
    REQUIRE_ARCHIVE(a);
    auto db = a.store(QStringLiteral("terraza"));
    QCOMPARE(db->open(Mode::Write), com::S_OK);
    QCOMPARE(db->append(syntheticReadings(60'000, 500)), com::S_OK);
    QCOMPARE(db->append(syntheticReadings(900'000, 500)), com::S_OK);
    QStringList problems;
    QCOMPARE(ArchiveReader(*db).check(problems), com::S_OK);
    QCOMPARE(problems, QStringList());
    std::vector<ArchiveStore::StationInfo> list;
    QCOMPARE(db->stations(list), com::S_OK);
    QCOMPARE(list.size(), std::size_t{1});
    QCOMPARE(list[0].name, QStringLiteral("terraza"));
    QCOMPARE(list[0].count, 1000);
    QCOMPARE(list[0].firstMs, 60'000);
    QCOMPARE(list[0].lastMs, 900'000 + 499'000);
}

void tst_store::copyTwiceDoublesNothing() {
    TestArchive from(currentBackend());
    TestArchive to(currentBackend() == Backend::Sqlite ? Backend::Postgres : Backend::Sqlite);
    REQUIRE_ARCHIVE(from);
    REQUIRE_ARCHIVE(to);
    auto source = from.store(QStringLiteral("patio"));
    QCOMPARE(source->open(Mode::Write), com::S_OK);
    // Two days and a half, a failed tick among them, and a reading of the same millisecond.
    std::vector<Entry> entries = syntheticReadings(1'767'225'600'000, 2500, 90'000);
    const qint64 last = entries.back().timeMs + 1000;
    entries.push_back(Entry::reading(last, 30.0, 95.0, 7, 8));
    entries.push_back(Entry::reading(last, 31.0, 96.0, 9, 10));
    entries.push_back(Entry::failure(last, EntryKind::PortLost));
    QCOMPARE(source->append(entries), com::S_OK);

    for (int run = 0; run < 2; ++run) {
        auto target = to.store(QStringLiteral("patio"));
        QCOMPARE(target->open(Mode::Write), com::S_OK);
        archive::ArchiveCopy copy(*source, *target);
        archive::ArchiveCopy::Counts counts;
        QCOMPARE(copy.run(counts), com::S_OK);
        QCOMPARE(counts.copied, run == 0 ? 2503 : 0);
        QCOMPARE(counts.present, run == 0 ? 0 : 2503);
        std::vector<Entry> back;
        QCOMPARE(ArchiveReader(*target).entries(0, kAll, back), com::S_OK);
        QCOMPARE(back.size(), entries.size());
        QVERIFY(back == entries);
        QStringList problems;
        QCOMPARE(ArchiveReader(*target).check(problems), com::S_OK);
        QCOMPARE(problems, QStringList());
    }
}

BRISORA_ARCHIVE_TEST_MAIN(tst_store)
#include "tst_store.moc"

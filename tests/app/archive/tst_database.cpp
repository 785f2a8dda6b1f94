// The archive file: creation, batches, a foreign or newer file left untouched, a full disk,
// another program's lock, a folder that cannot be written, and a writer killed mid-batch.

#include "ArchiveRig.h"

#include "archive/ArchiveSchema.h"
#include "archive/ArchiveWriter.h"

#include <TestFiles.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QtTest>

#include <unistd.h>

using archive::ArchiveDatabase;
using archive::ArchiveReader;
using archive::Entry;
using archive::EntryKind;
using Mode = ArchiveDatabase::Mode;

class tst_database : public QObject {
    Q_OBJECT

private slots:
    void createsWritesAndReadsBack();
    void sameMillisecondKeepsBoth();
    void failuresKeptWithTheirKind();
    void firstLayoutReadAndBroughtUp();
    void foreignFileNeverTouched_data();
    void foreignFileNeverTouched();
    void newerLayoutNeverTouched();
    void readModeNeedsAnArchive();
    void olderLayoutNamedAsOlder();
    void fullDiskLosesNothingCommitted();
    void lockedByAnotherProgram();
    void folderThatCannotBeCreated();
    void readOnlyFolder();
    void killedMidBatchOpensWithEverythingCommitted();
};

void tst_database::createsWritesAndReadsBack() {
    ArchiveDir d;
    {
        ArchiveDatabase db(d.path());
        QCOMPARE(db.open(Mode::Write), com::S_OK);
        const auto batch = syntheticReadings(1'700'000'000'000, 10);
        QCOMPARE(db.append(batch), com::S_OK);
    }
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Read), com::S_OK);
    QSqlQuery q(db.connection());
    QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
    QList<qint64> times;
    QCOMPARE(ArchiveReader(db).readings(0, std::numeric_limits<qint64>::max(),
                                        [&](const Entry& e) {
                                            times << e.timeMs;
                                            return true;
                                        }),
             com::S_OK);
    QCOMPARE(times.size(), 10);
    QCOMPARE(times.first(), 1'700'000'000'000);
    QVERIFY(std::is_sorted(times.begin(), times.end()));
}

void tst_database::sameMillisecondKeepsBoth() {
    // A clock set back can stamp two ticks alike: both stay, in the order they came.
    ArchiveDir d;
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Write), com::S_OK);
    const std::vector<Entry> batch{Entry::reading(5000, 40.0, 100.0, 1, 2),
                                   Entry::reading(5000, 41.0, 101.0, 3, 4)};
    QCOMPARE(db.append(batch), com::S_OK);
    QCOMPARE(db.append(std::vector<Entry>{Entry::reading(5000, 42.0, 102.0, 5, 6)}), com::S_OK);
    QList<quint16> raws;
    ArchiveReader(db).readings(0, 10000, [&](const Entry& e) {
        raws << e.rawHumidity;
        return true;
    });
    QCOMPARE(raws, (QList<quint16>{1, 3, 5}));
}

void tst_database::failuresKeptWithTheirKind() {
    ArchiveDir d;
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Write), com::S_OK);
    const std::vector<Entry> batch{Entry::failure(1000, EntryKind::Timeout),
                                   Entry::reading(2000, 40.0, 100.0, 1, 2),
                                   Entry::failure(3000, EntryKind::PortLost),
                                   Entry::failure(4000, EntryKind::PortCannotOpen),
                                   Entry::failure(5000, EntryKind::PortCannotOpen),
                                   Entry::failure(6000, EntryKind::Checksum),
                                   Entry::failure(7000, EntryKind::Stall),
                                   Entry::failure(8000, EntryKind::Stall)};
    QCOMPARE(db.append(batch), com::S_OK);
    ArchiveReader::Summary s;
    QCOMPARE(ArchiveReader(db).summary(60000, s), com::S_OK);
    QCOMPARE(s.count, 1);
    QCOMPARE(s.failures[EntryKind::Timeout], 1);
    QCOMPARE(s.failures[EntryKind::PortLost], 1);
    QCOMPARE(s.failures[EntryKind::PortCannotOpen], 2);
    QCOMPARE(s.failures[EntryKind::Checksum], 1);
    QCOMPARE(s.failures[EntryKind::Stall], 2);
    QSqlQuery q(db.connection());
    QVERIFY(q.exec(QStringLiteral("SELECT kind FROM failures WHERE time_ms >= 6000 ORDER BY "
                                  "time_ms")));
    QStringList kinds;
    while (q.next()) {
        kinds << q.value(0).toString();
    }
    QCOMPARE(kinds, (QStringList{"checksum", "stall", "stall"}));
}

// A file of the first layout, whose failures admit only three kinds: read as it is, and
// brought up (its rows kept) when the console archives into it.
void tst_database::firstLayoutReadAndBroughtUp() {
    ArchiveDir d;
    QVERIFY(QDir().mkpath(QFileInfo(d.path()).absolutePath()));
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "version1");
        raw.setDatabaseName(d.path());
        QVERIFY(raw.open());
        QStringList sql = archive::schema::migrations().front().statements;
        sql << QStringLiteral("PRAGMA application_id = %1").arg(archive::schema::kApplicationId)
            << QStringLiteral("PRAGMA user_version = 1")
            << QStringLiteral("INSERT INTO failures VALUES (1000, 0, 'port_lost')");
        for (const QString& statement : sql) {
            QVERIFY2(QSqlQuery(raw).exec(statement), qPrintable(statement));
        }
        // What the first layout refuses.
        QVERIFY(
            !QSqlQuery(raw).exec(QStringLiteral("INSERT INTO failures VALUES (2, 0, 'stall')")));
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("version1"));
    {
        ArchiveDatabase db(d.path());
        QCOMPARE(db.open(Mode::Read), com::S_OK);
        ArchiveReader::Summary s;
        QCOMPARE(ArchiveReader(db).summary(60000, s), com::S_OK);
        QCOMPARE(s.failures[EntryKind::PortLost], 1);
    }
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Write), com::S_OK);
    const std::vector<Entry> batch{Entry::failure(2000, EntryKind::Checksum),
                                   Entry::failure(3000, EntryKind::Stall)};
    QCOMPARE(db.append(batch), com::S_OK);
    ArchiveReader::Summary s;
    QCOMPARE(ArchiveReader(db).summary(60000, s), com::S_OK);
    QCOMPARE(s.failures[EntryKind::PortLost], 1);
    QCOMPARE(s.failures[EntryKind::Checksum], 1);
    QCOMPARE(s.failures[EntryKind::Stall], 1);
    QSqlQuery q(db.connection());
    QVERIFY(q.exec(QStringLiteral("PRAGMA user_version")) && q.next());
    QCOMPARE(q.value(0).toInt(), archive::schema::kVersion);
}

void tst_database::foreignFileNeverTouched_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("sql"); // run on a fresh SQLite file instead, when not empty
    QTest::newRow("text") << QByteArray("time,humidity\n1,2\n") << QString();
    QTest::newRow("short binary") << QByteArray("SQLite", 6) << QString();
    QTest::newRow("other program's database")
        << QByteArray() << QStringLiteral("CREATE TABLE contacts (name TEXT)");
    QTest::newRow("other application id")
        << QByteArray() << QStringLiteral("PRAGMA application_id = 1234");
}

void tst_database::foreignFileNeverTouched() {
    QFETCH(QByteArray, content);
    QFETCH(QString, sql);
    ArchiveDir d;
    QDir().mkpath(QFileInfo(d.path()).path());
    if (sql.isEmpty()) {
        QFile f(d.path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    } else {
        const QString name = QStringLiteral("foreign");
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            other.setDatabaseName(d.path());
            QVERIFY(other.open());
            QVERIFY(QSqlQuery(other).exec(sql));
            other.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    const QByteArray before = testsupport::fileBytes(d.path());
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Write), archive::E_ARCHIVE_NOTARCHIVE);
    QCOMPARE(db.append(syntheticReadings(0, 3)), archive::E_ARCHIVE_CANTOPEN);
    QCOMPARE(testsupport::fileBytes(d.path()), before);
    QVERIFY(!QFile::exists(d.path() + QStringLiteral("-wal")));
}

void tst_database::newerLayoutNeverTouched() {
    ArchiveDir d;
    {
        ArchiveDatabase db(d.path());
        QCOMPARE(db.open(Mode::Write), com::S_OK);
        QVERIFY(
            QSqlQuery(db.connection())
                .exec(
                    QStringLiteral("PRAGMA user_version = %1").arg(archive::schema::kVersion + 1)));
    }
    const QByteArray before = testsupport::fileBytes(d.path());
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Write), archive::E_ARCHIVE_NEWERSCHEMA);
    QCOMPARE(db.open(Mode::Read), archive::E_ARCHIVE_NEWERSCHEMA);
    QCOMPARE(testsupport::fileBytes(d.path()), before);
}

void tst_database::readModeNeedsAnArchive() {
    ArchiveDir d;
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Read), archive::E_ARCHIVE_MISSING);
    QVERIFY(!QFile::exists(d.path()));
    // Regression: an empty file was said not to exist.
    QVERIFY(QDir().mkpath(QFileInfo(d.path()).absolutePath()));
    QFile empty(d.path());
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QCOMPARE(db.open(Mode::Read), archive::E_ARCHIVE_EMPTY);
}

// Regression: an archive of an older layout was said to be of a newer program.
void tst_database::olderLayoutNamedAsOlder() {
    ArchiveDir d;
    {
        ArchiveDatabase db(d.path());
        QCOMPARE(db.open(Mode::Write), com::S_OK);
        QVERIFY(QSqlQuery(db.connection()).exec(QStringLiteral("PRAGMA user_version = 0")));
    }
    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Read), archive::E_ARCHIVE_OLDERSCHEMA);
    QVERIFY(archive::describe(archive::E_ARCHIVE_OLDERSCHEMA).contains(u"anterior"));
}

void tst_database::fullDiskLosesNothingCommitted() {
    // The size limit stands in for a full disk: SQLite fails the write the same way.
    ArchiveDir d;
    ArchiveDatabase db(d.path(), {.busyTimeoutMs = 100, .maxPageCount = 40});
    QCOMPARE(db.open(Mode::Write), com::S_OK);
    qint64 committed = 0;
    com::HRESULT hr = com::S_OK;
    for (int i = 0; i < 200 && com::succeeded(hr); ++i) {
        const auto batch = syntheticReadings(i * 100'000, 100);
        hr = db.append(batch);
        if (com::succeeded(hr)) {
            committed += 100;
        }
    }
    QCOMPARE(hr, archive::STG_E_MEDIUMFULL);
    QVERIFY(committed > 0);
    QCOMPARE(rowCount(db, QStringLiteral("readings")), committed);
    QStringList problems;
    QCOMPARE(ArchiveReader(db).check(problems), com::S_OK);
    QCOMPARE(problems, QStringList());
}

void tst_database::lockedByAnotherProgram() {
    ArchiveDir d;
    ArchiveDatabase db(d.path(), {.busyTimeoutMs = 50, .maxPageCount = 0});
    QCOMPARE(db.open(Mode::Write), com::S_OK);
    ArchiveDatabase other(d.path());
    QCOMPARE(other.open(Mode::Write), com::S_OK);
    QVERIFY(QSqlQuery(other.connection()).exec(QStringLiteral("BEGIN IMMEDIATE")));
    QCOMPARE(db.append(syntheticReadings(0, 5)), archive::STG_E_LOCKVIOLATION);
    QVERIFY(QSqlQuery(other.connection()).exec(QStringLiteral("ROLLBACK")));
    QCOMPARE(db.append(syntheticReadings(0, 5)), com::S_OK);
    QCOMPARE(rowCount(db, QStringLiteral("readings")), 5);
}

void tst_database::folderThatCannotBeCreated() {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("brisora")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ArchiveDatabase db(dir.filePath(QStringLiteral("brisora/archive.sqlite")));
    QCOMPARE(db.open(Mode::Write), archive::E_ARCHIVE_CANTOPEN);
}

void tst_database::readOnlyFolder() {
    ArchiveDir d;
    const QString folder = QFileInfo(d.path()).path();
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const bool bypassed = ::access(folder.toLocal8Bit().constData(), W_OK) == 0;
    if (!bypassed) {
        ArchiveDatabase db(d.path());
        QCOMPARE(db.open(Mode::Write), archive::E_ARCHIVE_CANTOPEN);
        QVERIFY(!QFile::exists(d.path()));
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (bypassed) {
        QSKIP("Running with privileges that write into read-only folders");
    }
}

void tst_database::killedMidBatchOpensWithEverythingCommitted() {
    ArchiveDir d;
    QProcess writer;
    writer.start(testsupport::built(QStringLiteral("archive_crash_writer")), {d.path()});
    QVERIFY(writer.waitForStarted(10000));
    qint64 committed = 0;
    while (committed < 5 * 500 && writer.waitForReadyRead(10000)) {
        while (writer.canReadLine()) {
            committed = writer.readLine().trimmed().toLongLong();
        }
    }
    QVERIFY(committed >= 5 * 500);
    writer.kill(); // SIGKILL, most likely inside a batch: the writer never pauses
    QVERIFY(writer.waitForFinished(10000));

    ArchiveDatabase db(d.path());
    QCOMPARE(db.open(Mode::Write), com::S_OK);
    const qint64 rows = rowCount(db, QStringLiteral("readings"));
    QVERIFY2(rows >= committed, qPrintable(QStringLiteral("%1 < %2").arg(rows).arg(committed)));
    QCOMPARE(rows % 500, 0); // a batch is all there or not at all
    QStringList problems;
    QCOMPARE(ArchiveReader(db).check(problems), com::S_OK);
    QCOMPARE(problems, QStringList());
    QCOMPARE(db.append(syntheticReadings(rows * 1000, 3)), com::S_OK);
}

QTEST_GUILESS_MAIN(tst_database)
#include "tst_database.moc"

// The archive writer on the virtual clock: batches on its beat for a file and at once for a
// database server, retries after a failure with nothing lost or doubled, one notice per
// trouble, a bounded queue, a foreign file that stops archiving, the last batch at close; and
// the archive's place from the environment.

#include "ArchiveRig.h"

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveWriter.h"
#include "archive/DatabaseSink.h"
#include "archive/ThreadedSink.h"

#include "forms/VirtualScheduler.h"

#include <TestFiles.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using archive::ArchiveWriter;
using archive::Batch;
using archive::Entry;
using State = ArchiveWriter::State;

namespace {

// A sink that records what it is given and answers with the planned results (S_OK once the
// plan is used up). With `held` it keeps the outcome back until release().
struct FakeSink final : archive::BatchSink {
    QList<qint64>* written;
    QList<int>* batchSizes;
    QList<com::HRESULT> plan;
    bool held = false;
    bool server = false;
    int attempts = 0; // writes begun, the empty one of start() included
    Done pending;

    FakeSink(QList<qint64>& w, QList<int>& sizes)
        : written(&w)
        , batchSizes(&sizes) {}

    void write(std::shared_ptr<const Batch> batch, Done done) override {
        ++attempts;
        const com::HRESULT hr = writeNow(*batch);
        if (held) {
            pending = [done, hr](com::HRESULT) { done(hr); };
        } else {
            done(hr);
        }
    }
    void waitIdle() override { release(); }
    com::HRESULT writeNow(const Batch& batch) override {
        const com::HRESULT hr = plan.isEmpty() ? com::S_OK : plan.takeFirst();
        batchSizes->append(static_cast<int>(batch.size()));
        if (com::succeeded(hr)) {
            for (const Entry& e : batch) {
                written->append(e.timeMs);
            }
        }
        return hr;
    }
    QString path() const override { return QStringLiteral("/archive.sqlite"); }
    bool onServer() const override { return server; }
    void release() {
        if (auto done = std::exchange(pending, {})) {
            done(com::S_OK);
        }
    }
};

struct WriterRig {
    forms::VirtualScheduler clock;
    QList<qint64> written;
    QList<int> batchSizes;
    FakeSink* sink;
    QStringList notices;
    std::unique_ptr<ArchiveWriter> writer;
    qint64 nextTime = 0;

    explicit WriterRig(ArchiveWriter::Options options = {}, bool server = false) {
        auto s = std::make_unique<FakeSink>(written, batchSizes);
        s->server = server;
        sink = s.get();
        writer = std::make_unique<ArchiveWriter>(std::move(s), clock, options);
        writer->setNotice([this](const QString& n) { notices << n; });
    }
    // One tick a second, as the console takes them.
    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            writer->add(Entry::reading(nextTime++, 50.0, 100.0, 1, 2));
            clock.advanceBy(1000);
        }
    }
    // One tick now, time stamped with the virtual clock.
    void tickNow() { writer->add(Entry::reading(clock.nowMs(), 50.0, 100.0, 1, 2)); }
    QList<qint64> expected(qint64 from, qint64 to) const {
        QList<qint64> out;
        for (qint64 t = from; t < to; ++t) {
            out << t;
        }
        return out;
    }
};

} // namespace

class tst_writer : public QObject {
    Q_OBJECT

private slots:
    void batchesOnItsBeat();
    void retriesWithNothingLostOrDoubled();
    void boundedQueueDropsTheOldest();
    void startShowsTroubleAtOnce();
    void writeUnderWayNotDoubled();
    void foreignFileStopsArchiving();
    void closeWritesTheRest();
    void threadedSinkWritesTheFile();
    void serverGetsEachTickAtOnce();
    void serverBatchUnderWayThenTheRest();
    void serverGoneAndBack();
    void location_data();
    void location();
    void serverLocation_data();
    void serverLocation();
};

void tst_writer::batchesOnItsBeat() {
    WriterRig r;
    r.ticks(4);
    QCOMPARE(r.batchSizes, QList<int>());
    r.ticks(1); // the fifth second: the beat hands over all five
    QCOMPARE(r.batchSizes, QList<int>{5});
    r.clock.advanceBy(10000);
    QCOMPARE(r.batchSizes, QList<int>{5}); // nothing queued, nothing written
    r.ticks(5);
    QCOMPARE(r.batchSizes, (QList<int>{5, 5}));
    QCOMPARE(r.written, r.expected(0, 10));
    QVERIFY(r.notices.isEmpty());
}

void tst_writer::retriesWithNothingLostOrDoubled() {
    WriterRig r;
    r.sink->plan = {archive::STG_E_MEDIUMFULL, archive::STG_E_MEDIUMFULL,
                    archive::STG_E_LOCKVIOLATION};
    r.ticks(15);
    QCOMPARE(r.batchSizes, (QList<int>{5, 10, 15}));
    QCOMPARE(r.writer->state(), State::Retrying);
    QCOMPARE(r.writer->queued(), 15u);
    // One notice per trouble, not one per try.
    QCOMPARE(r.notices.size(), 2);
    QVERIFY(r.notices[0].contains(QStringLiteral("el disco está lleno; se reintenta")));
    QVERIFY(r.notices[1].contains(QStringLiteral("bloqueado")));
    r.ticks(5);
    QCOMPARE(r.writer->state(), State::Writing);
    QCOMPARE(r.written, r.expected(0, 20));
    QCOMPARE(r.notices.size(), 3);
    QCOMPARE(r.notices[2], QString()); // the trouble is over: its notice goes
}

void tst_writer::boundedQueueDropsTheOldest() {
    WriterRig r({.flushIntervalMs = 5000, .capacity = 7, .maxBatch = 100});
    r.sink->plan = {archive::STG_E_MEDIUMFULL, archive::STG_E_MEDIUMFULL};
    r.ticks(12);
    QCOMPARE(r.writer->queued(), 7u);
    QCOMPARE(r.writer->dropped(), 5u);
    // Regression: the notice kept saying only "se reintenta" while old entries were dropped.
    QCOMPARE(r.notices.size(), 2);
    QVERIFY2(r.notices[1].contains(QStringLiteral("; 3 entradas antiguas descartadas")),
             qPrintable(r.notices[1]));
    r.ticks(3); // written at 15 s: the newest seven
    QCOMPARE(r.written, r.expected(8, 15));
    QVERIFY(r.notices.last().contains(
        QStringLiteral("se descartaron 8 entradas antiguas mientras no se podía escribir")));
}

void tst_writer::startShowsTroubleAtOnce() {
    WriterRig r;
    r.sink->plan = {archive::E_ARCHIVE_CANTOPEN};
    r.writer->start();
    QCOMPARE(r.batchSizes, QList<int>{0});
    QCOMPARE(r.notices.size(), 1);
    QVERIFY(r.notices[0].contains(QStringLiteral("/archive.sqlite")));
    r.ticks(5);
    QCOMPARE(r.written, r.expected(0, 5));
}

void tst_writer::writeUnderWayNotDoubled() {
    WriterRig r({.flushIntervalMs = 5000, .capacity = 8, .maxBatch = 100});
    r.sink->held = true;
    r.ticks(5); // first batch under way and not finished
    r.ticks(5); // the beat passes while it is under way; the queue's bound counts it
    QCOMPARE(r.batchSizes, QList<int>{5});
    QCOMPARE(r.writer->queued(), 8u);
    QCOMPARE(r.writer->dropped(), 2u);
    r.sink->release();
    r.sink->held = false;
    r.ticks(5);
    QCOMPARE(r.written, QList<qint64>() << r.expected(0, 5) << r.expected(7, 15));
}

void tst_writer::foreignFileStopsArchiving() {
    ArchiveDir d;
    QDir().mkpath(QFileInfo(d.path()).path());
    {
        QFile f(d.path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not an archive");
    }
    forms::VirtualScheduler clock;
    ArchiveWriter writer(std::make_unique<archive::DatabaseSink>(d.path()), clock);
    QStringList notices;
    writer.setNotice([&](const QString& n) { notices << n; });
    writer.start();
    QCOMPARE(writer.state(), State::Off);
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices[0].contains(QStringLiteral("no es un archivo de lecturas")));
    QVERIFY(notices[0].contains(QStringLiteral("no se archivan")));
    writer.add(Entry::reading(0, 1, 2, 3, 4));
    clock.advanceBy(60000);
    writer.close();
    QCOMPARE(writer.queued(), 0u);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(testsupport::fileBytes(d.path()), QByteArray("not an archive"));
}

void tst_writer::closeWritesTheRest() {
    WriterRig r;
    r.sink->held = true;
    r.ticks(7); // five under way, two queued
    QCOMPARE(r.writer->close(), com::S_OK);
    QCOMPARE(r.batchSizes, (QList<int>{5, 2}));
    QCOMPARE(r.written, r.expected(0, 7));
    r.ticks(1);
    QCOMPARE(r.written.size(), 7); // closed: nothing more
}

void tst_writer::threadedSinkWritesTheFile() {
    ArchiveDir d;
    forms::VirtualScheduler clock;
    {
        ArchiveWriter writer(std::make_unique<archive::ThreadedSink>(d.path()), clock);
        QVERIFY(!writer.prompt()); // a file keeps its beat: few commits on an SD card
        writer.start();
        const auto readings = syntheticReadings(1'000'000, 12);
        for (const Entry& e : readings) {
            writer.add(e);
            clock.advanceBy(1000);
        }
        QCOMPARE(writer.close(), com::S_OK);
        QCOMPARE(writer.state(), State::Writing);
    }
    archive::ArchiveDatabase db(d.path());
    QCOMPARE(db.open(archive::ArchiveDatabase::Mode::Read), com::S_OK);
    QCOMPARE(rowCount(db, QStringLiteral("readings")), 12);
}

void tst_writer::serverGetsEachTickAtOnce() {
    WriterRig r({}, true);
    QVERIFY(r.writer->prompt());
    r.writer->start();
    // One tick a second: each is written 100 ms after it comes, on its own.
    for (int i = 0; i < 5; ++i) {
        r.tickNow();
        r.clock.advanceBy(99);
        QCOMPARE(r.batchSizes.size(), i + 1); // only the opening one so far for this tick
        r.clock.advanceBy(1);
        QCOMPARE(r.batchSizes.size(), i + 2);
        r.clock.advanceBy(900);
    }
    QCOMPARE(r.batchSizes, (QList<int>{0, 1, 1, 1, 1, 1}));
    QCOMPARE(r.written, (QList<qint64>{0, 1000, 2000, 3000, 4000}));
    // Ticks that come within the delay go together.
    r.tickNow();
    r.clock.advanceBy(40);
    r.tickNow();
    r.clock.advanceBy(40);
    r.tickNow();
    r.clock.advanceBy(20);
    QCOMPARE(r.batchSizes.last(), 3);
    // A tick queued at close is written then, and the delay it started never fires later.
    r.tickNow();
    QCOMPARE(r.writer->close(), com::S_OK);
    const int attempts = r.sink->attempts;
    r.clock.advanceBy(10000);
    QCOMPARE(r.sink->attempts, attempts);
    QCOMPARE(r.written.size(), 9);
    QVERIFY(r.notices.isEmpty());
}

void tst_writer::serverBatchUnderWayThenTheRest() {
    WriterRig r({}, true);
    r.sink->held = true;
    r.tickNow();
    r.clock.advanceBy(100); // the first batch is under way and stays so
    QCOMPARE(r.batchSizes, QList<int>{1});
    for (int i = 0; i < 7; ++i) { // a slow commit: seven ticks come meanwhile
        r.clock.advanceBy(1000);
        r.tickNow();
    }
    QCOMPARE(r.batchSizes, QList<int>{1}); // neither the delay nor the beat starts another
    QCOMPARE(r.writer->queued(), 8u);
    r.sink->release(); // committed: the seven go at once, in one batch
    QCOMPARE(r.batchSizes, (QList<int>{1, 7}));
    r.sink->held = false;
    r.sink->release();
    QCOMPARE(r.writer->queued(), 0u);
    QCOMPARE(r.written, (QList<qint64>{0, 1100, 2100, 3100, 4100, 5100, 6100, 7100}));
}

void tst_writer::serverGoneAndBack() {
    WriterRig r({}, true);
    r.sink->plan = {archive::E_ARCHIVE_UNREACHABLE, archive::E_ARCHIVE_UNREACHABLE,
                    archive::E_ARCHIVE_UNREACHABLE, archive::E_ARCHIVE_UNREACHABLE};
    r.writer->start(); // the server is gone from the start
    QCOMPARE(r.writer->state(), State::Retrying);
    r.ticks(20);
    // Tried again on the beat, not at every tick: the opening and the beats at 5, 10, 15 s,
    // and the beat at 20 s found it back.
    QCOMPARE(r.sink->attempts, 5);
    QCOMPARE(r.batchSizes, (QList<int>{0, 5, 10, 15, 20}));
    QCOMPARE(r.notices.size(), 2);
    QVERIFY(r.notices[0].contains(QStringLiteral("/archive.sqlite")));
    QCOMPARE(r.notices[1], QString());
    QCOMPARE(r.written, r.expected(0, 20));
    // Back at the prompt pace: the next tick is written 100 ms after it.
    r.writer->add(Entry::reading(20, 50.0, 100.0, 1, 2));
    r.clock.advanceBy(100);
    QCOMPARE(r.written, r.expected(0, 21));
    QCOMPARE(r.batchSizes.last(), 1);
}

void tst_writer::location_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("path");
    QTest::newRow("unset") << QByteArray() << true << "/data/brisora/archive.sqlite";
    QTest::newRow("named") << QByteArray("/tmp/x/../a.sqlite") << true << "/tmp/a.sqlite";
    QTest::newRow("off") << QByteArray("off") << false << QString();
    QTest::newRow("OFF") << QByteArray(" OFF ") << false << QString();
}

void tst_writer::location() {
    QFETCH(QByteArray, value);
    QFETCH(bool, enabled);
    QFETCH(QString, path);
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/data");
    if (value.isNull()) {
        qunsetenv(archive::ArchiveLocation::kVariable);
    } else {
        qputenv(archive::ArchiveLocation::kVariable, value);
    }
    const auto where = archive::ArchiveLocation::fromEnvironment();
    qunsetenv(archive::ArchiveLocation::kVariable);
    qputenv("XDG_DATA_HOME", savedData);
    QCOMPARE(where.enabled, enabled);
    QCOMPARE(where.path, path);
    QVERIFY(!where.server);
}

void tst_writer::serverLocation_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown"); // the place as messages show it
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("error"); // part of the reason it is refused; empty: accepted
    QTest::newRow("full")
        << "postgresql://meteo@db.example:5433/brisora?station=north&sslmode=require"
        << "postgresql://meteo@db.example:5433/brisora?station=north&sslmode=require"
        << "north" << QString();
    QTest::newRow("short scheme, defaults") << "postgres:///archive"
                                            << "postgresql:///archive" << QString() << QString();
    QTest::newRow("station with a space") << "postgresql://u@h/d?station=Campo%20Sur"
                                          << "postgresql://u@h/d?station=Campo%20Sur"
                                          << "Campo Sur" << QString();
    QTest::newRow("password") << "postgresql://u:s3cret@h/d" << QString() << QString()
                              << "fichero de contraseñas";
    QTest::newRow("password parameter") << "postgresql://u@h/d?password=s3cret" << QString()
                                        << QString() << "fichero de contraseñas";
    QTest::newRow("no database") << "postgresql://u@h/" << QString() << QString()
                                 << "ninguna base de datos";
    QTest::newRow("unknown sslmode")
        << "postgresql://u@h/d?sslmode=maybe" << QString() << QString() << "sslmode";
    QTest::newRow("unknown parameter")
        << "postgresql://u@h/d?colour=red" << QString() << QString() << "colour";
}

void tst_writer::serverLocation() {
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QFETCH(QString, station);
    QFETCH(QString, error);
    const auto where = archive::ArchiveLocation::parse(value);
    QVERIFY(where.enabled);
    QVERIFY(where.server);
    QCOMPARE(where.station, station);
    if (error.isEmpty()) { // a server's writer writes each tick as it comes
        forms::VirtualScheduler clock;
        QVERIFY(ArchiveWriter(std::make_unique<archive::ThreadedSink>(where), clock).prompt());
    }
    if (error.isEmpty()) {
        QCOMPARE(where.error, QString());
        QCOMPARE(where.path, shown);
    } else {
        QVERIFY2(where.error.contains(error), qPrintable(where.error));
        QVERIFY(!where.error.contains(u"s3cret")); // never repeated
        QCOMPARE(where.path, QString());
    }
}

QTEST_GUILESS_MAIN(tst_writer)
#include "tst_writer.moc"

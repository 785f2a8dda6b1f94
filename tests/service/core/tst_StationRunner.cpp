#include "core/StationRunner.h"

#include "archive/BatchSink.h"
#include "comm/FakeSerialBackend.h"
#include "forms/VirtualScheduler.h"

#include "StationFrames.h"

#include <QSignalSpy>
#include <QtTest>

using service::StationRunner;

namespace {

// The archive file as a list: every batch lands at once.
class MemorySink final : public archive::BatchSink {
public:
    explicit MemorySink(archive::Batch& kept)
        : m_kept(kept) {}
    void write(std::shared_ptr<const archive::Batch> batch, Done done) override {
        m_kept.insert(m_kept.end(), batch->begin(), batch->end());
        done(com::S_OK);
    }
    void waitIdle() override {}
    com::HRESULT writeNow(const archive::Batch& batch) override {
        m_kept.insert(m_kept.end(), batch.begin(), batch.end());
        return com::S_OK;
    }
    QString path() const override { return QStringLiteral("memory"); }

private:
    archive::Batch& m_kept;
};

// A runner on a scripted station in virtual time. The station answers every request after
// replyDelayMs with humidityRaw or pressureRaw, or says nothing while silent.
struct RunnerRig {
    forms::VirtualScheduler clock{1000000};
    comm::FakeSerialBackend* fake = new comm::FakeSerialBackend(clock);
    archive::Batch archived;
    int humidityRaw = 1000;
    int pressureRaw = 2000;
    int replyDelayMs = 20;
    bool silent = false;
    QByteArray pending;
    std::unique_ptr<StationRunner> runner;

    RunnerRig() {
        fake->setResponder([this](comm::FakeSerialBackend& f, const QByteArray& b) {
            if (pending.isEmpty() && b == "\x01") {
                return; // an unlock message: this station does not stall
            }
            pending += b;
            if (pending.size() < 8) {
                return;
            }
            const bool pressure = pending[5] == 3;
            pending.clear();
            if (!silent) {
                f.deliverAfter(replyDelayMs,
                               testsupport::reply(pressure ? pressureRaw : humidityRaw));
            }
        });
        StationRunner::Parts parts;
        parts.backend.reset(fake);
        parts.sink = std::make_unique<MemorySink>(archived);
        parts.wallClockMs = [this] { return clock.nowMs(); };
        StationRunner::Options options;
        options.device = QStringLiteral("/dev/ttyFAKE");
        options.intervalMs = 1000;
        runner = std::make_unique<StationRunner>(options, clock, std::move(parts));
    }
};

} // namespace

class tst_StationRunner : public QObject {
    Q_OBJECT

private slots:
    void everyTickIsArchivedThenTold();
    void stopLetsTheExchangeUnderWayFinish();
    void stopCutsTheWaitOfASilentStation();
    void busyPortIsToldAndTakenOnceFree();
};

void tst_StationRunner::everyTickIsArchivedThenTold() {
    RunnerRig rig;
    QSignalSpy ticks(rig.runner.get(), &StationRunner::tickFinished);
    QList<std::size_t> handedOn; // entries in the writer or the file when each tick is told
    connect(rig.runner.get(), &StationRunner::tickFinished, this,
            [&] { handedOn << rig.runner->archiveWriter()->queued() + rig.archived.size(); });
    rig.runner->start();
    QCOMPARE(rig.runner->portState(), QStringLiteral("open"));
    rig.clock.advanceBy(5500);
    QCOMPARE(ticks.size(), 5);
    QCOMPARE(handedOn, (QList<std::size_t>{1, 2, 3, 4, 5}));
    const auto first = ticks.first().first().value<archive::Entry>();
    QVERIFY(first.isReading());
    QCOMPARE(first.rawHumidity, quint16(1000));
    QCOMPARE(first.rawPressure, quint16(2000));

    rig.silent = true; // one time-out: the next tick fails, and is archived as such
    rig.clock.advanceBy(1000);
    rig.silent = false;
    rig.clock.advanceBy(10000);
    rig.runner->stop();
    QSignalSpy stopped(rig.runner.get(), &StationRunner::stopped);
    rig.clock.advanceBy(10);
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(rig.runner->portState(), QStringLiteral("closed"));
    QCOMPARE(rig.archived.size(), std::size_t(ticks.size()));
    QCOMPARE(rig.runner->failedTicks(), quint64(1));
    const auto failed = std::find_if(rig.archived.begin(), rig.archived.end(),
                                     [](const archive::Entry& e) { return !e.isReading(); });
    QVERIFY(failed != rig.archived.end());
    QCOMPARE(failed->kind, archive::EntryKind::Timeout);
}

void tst_StationRunner::stopLetsTheExchangeUnderWayFinish() {
    RunnerRig rig;
    rig.replyDelayMs = 300; // a slow station: the stop comes while the humidity is awaited
    QSignalSpy stopped(rig.runner.get(), &StationRunner::stopped);
    rig.runner->start();
    rig.clock.post([&] { rig.runner->stop(); }, 1100);
    rig.clock.advanceBy(5000);
    QCOMPARE(stopped.size(), 1);
    // The tick under way asked for both readings and kept them; no tick followed.
    QCOMPARE(rig.archived.size(), std::size_t(1));
    QVERIFY(rig.archived.front().isReading());
    QCOMPARE(rig.archived.front().rawPressure, quint16(2000));
    QCOMPARE(rig.fake->written().size(), 16);
}

void tst_StationRunner::stopCutsTheWaitOfASilentStation() {
    RunnerRig rig;
    rig.silent = true;
    qint64 stoppedAt = 0;
    connect(rig.runner.get(), &StationRunner::stopped, this,
            [&] { stoppedAt = rig.clock.nowMs(); });
    rig.runner->start();
    const qint64 origin = rig.clock.nowMs();
    rig.clock.post([&] { rig.runner->stop(); }, 1100);
    rig.clock.advanceBy(20000);
    // Stopped a grace second after the request, not at the station's eight-second time-out;
    // the cut wait is not the station's failure.
    QCOMPARE(stoppedAt - origin, 2100);
    QVERIFY(rig.archived.empty());
}

void tst_StationRunner::busyPortIsToldAndTakenOnceFree() {
    RunnerRig rig;
    rig.fake->setOpenFailure(comm::CommError::DeviceBusy, {}, QStringLiteral("Brisora (pid 77)"));
    QSignalSpy states(rig.runner.get(), &StationRunner::portStateChanged);
    rig.runner->start();
    QCOMPARE(rig.runner->portState(), QStringLiteral("busy"));
    QCOMPARE(rig.runner->portReason(), QStringLiteral("el puerto lo usa Brisora (pid 77)"));
    rig.clock.advanceBy(1500); // the tick retries, in vain, and waits out its time-out
    rig.fake->setOpenFailure(comm::CommError::None);
    rig.clock.advanceBy(12000);
    QCOMPARE(rig.runner->portState(), QStringLiteral("open"));
    QCOMPARE(states.size(), 2);
    QCOMPARE(states.at(0).at(1).toString(), QStringLiteral("busy"));
    QCOMPARE(states.at(1).at(1).toString(), QStringLiteral("open"));
    QVERIFY(!rig.archived.empty() || rig.runner->archiveWriter()->queued() > 0);
    QVERIFY(rig.runner->readings() > 0);
}

QTEST_GUILESS_MAIN(tst_StationRunner)
#include "tst_StationRunner.moc"

// The publisher's delivery rules over a scripted session: what is resent after a lost
// connection, and what shutdown does with a queue the broker does not take.

#include "FakeTransport.h"
#include "PublisherRig.h"
#include "PublisherWorker.h"

#include <QElapsedTimer>
#include <QTest>

using mqtttest::FakeTransport;
using mqtttest::reading;

namespace {

constexpr char kState[] = "brisora/roof/state";
constexpr char kAvailability[] = "brisora/roof/availability";

mqtt::ResolvedOptions fastOptions() {
    mqtt::MqttOptions o;
    o.url = QStringLiteral("mqtt://broker");
    o.station = QStringLiteral("roof");
    o.reconnectMinMs = 10;
    o.reconnectMaxMs = 20;
    o.shutdownDrainMs = 300;
    mqtt::ResolvedOptions r;
    QString error;
    if (com::failed(mqtt::resolveOptions(o, &r, &error))) {
        qFatal("bad test options: %s", qPrintable(error));
    }
    return r;
}

QByteArray stateOf(int tick) {
    return mqtt::MessageFormat(fastOptions()).tick(reading(tick)).payload;
}

} // namespace

class tst_PublisherWorker : public QObject {
    Q_OBJECT

private slots:
    void lostSessionResendsOnlyTheUnacknowledgedInOrder();
    void shutdownGivesUpOnTheQueueAfterTheDrainTime();
};

void tst_PublisherWorker::lostSessionResendsOnlyTheUnacknowledgedInOrder() {
    FakeTransport::Shared shared;
    mqtt::PublisherWorker worker(fastOptions(), {}, {}, std::make_unique<FakeTransport>(shared));
    QString error;
    QCOMPARE(worker.start(&error), com::S_OK);

    worker.enqueue(reading(1));
    worker.enqueue(reading(2));
    QVERIFY(shared.waitUntil([&] { return shared.published.size() >= 7; })); // 3 + online + 3
    shared.acknowledgeAll();
    QVERIFY(shared.waitUntil([&] { return shared.toAcknowledge.isEmpty(); }));

    worker.enqueue(reading(3));
    worker.enqueue(reading(4));
    QVERIFY(shared.waitUntil([&] { return shared.published.size() >= 9; }));
    shared.dropConnection(); // 3 and 4 were never acknowledged
    QVERIFY(shared.waitUntil([&] {
        int resent = 0;
        for (const auto& p : shared.published) {
            resent += p.session == 2 && p.message.topic == kState ? 1 : 0;
        }
        return resent >= 2;
    }));
    shared.acknowledgeAll();
    worker.enqueue(reading(5));
    QVERIFY(shared.waitUntil(
        [&] { return shared.published.last().message.payload.contains("1700000005000"); }));
    worker.stop();

    QCOMPARE(shared.payloads(kState),
             (QByteArrayList{stateOf(1), stateOf(2), stateOf(3), stateOf(4), stateOf(3), stateOf(4),
                             stateOf(5)}));
    QCOMPARE(shared.sessions, 2);
    // The second session opens with the discovery messages and "online" again, before the
    // resent states.
    QCOMPARE(shared.payloads(kAvailability), (QByteArrayList{"online", "online", "offline"}));
}

void tst_PublisherWorker::shutdownGivesUpOnTheQueueAfterTheDrainTime() {
    FakeTransport::Shared shared;
    mqtttest::LogSink log;
    mqtt::PublisherWorker worker(fastOptions(), {}, log.function(),
                                 std::make_unique<FakeTransport>(shared));
    QString error;
    QCOMPARE(worker.start(&error), com::S_OK);
    QVERIFY(shared.waitUntil([&] { return shared.published.size() >= 4; }));
    for (int i = 1; i <= 40; ++i) { // more than one window: some never leave the queue
        worker.enqueue(reading(i));
    }
    QElapsedTimer elapsed;
    elapsed.start();
    worker.stop(); // nothing is acknowledged: the drain time (300 ms) runs out
    QVERIFY2(elapsed.elapsed() < 3000, qPrintable(QString::number(elapsed.elapsed())));

    QCOMPARE(shared.published.last().message.topic, QByteArray(kAvailability));
    QCOMPARE(shared.published.last().message.payload, QByteArray("offline"));
    QVERIFY(shared.published.last().message.retain);
    QVERIFY(shared.closedGracefully);
    QCOMPARE(log.count("stopped with 40 ticks unpublished"), 1);
}

QTEST_GUILESS_MAIN(tst_PublisherWorker)
#include "tst_PublisherWorker.moc"

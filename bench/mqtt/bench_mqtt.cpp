// Latency of one tick's state message: publish() on the tick's thread until a subscriber of
// our own has it, at QoS 0, 1 and 2, through a mosquitto broker started on a free loopback
// port. Reported per iteration as real time.

#include "MosquittoBroker.h"
#include "TestSubscriber.h"
#include "mqtt/MqttPublisher.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>

namespace {

void tickToSubscriber(benchmark::State& state) {
    testsupport::MosquittoBroker broker;
    if (!broker.start()) {
        state.SkipWithError(qPrintable(broker.errorString()));
        return;
    }
    testsupport::TestSubscriber::Settings settings;
    settings.port = broker.port();
    settings.filter = "brisora/bench/state";
    testsupport::TestSubscriber subscriber(settings);
    std::mutex mutex;
    std::condition_variable arrived;
    int received = 0;
    subscriber.setListener([&](const testsupport::ReceivedMessage&) {
        std::lock_guard lock(mutex);
        ++received;
        arrived.notify_all();
    });
    if (!subscriber.start()) {
        state.SkipWithError("the subscriber could not subscribe");
        return;
    }
    mqtt::MqttOptions options;
    options.url = broker.url();
    options.station = QStringLiteral("bench");
    options.qos = static_cast<int>(state.range(0));
    mqtt::MqttPublisher publisher(options, {});
    QString error;
    if (com::failed(publisher.start(&error))) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    int sent = 0;
    const auto tickAndWait = [&] {
        publisher.publish(
            archive::Entry::reading(1700000000000 + sent * 1000LL, 45.5, 101.3, 512, 512));
        ++sent;
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, std::chrono::seconds(10), [&] { return received >= sent; });
    };
    // The first tick waits for the connection; it is not measured.
    if (!tickAndWait()) {
        state.SkipWithError("the publisher did not connect");
        return;
    }
    for (auto _ : state) {
        if (!tickAndWait()) {
            state.SkipWithError("a state message did not arrive");
            break;
        }
    }
    publisher.shutdown();
}

} // namespace

BENCHMARK(tickToSubscriber)->Arg(0)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMicrosecond);

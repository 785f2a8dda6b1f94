// Cost of the station link's receive path in virtual time: bytes handed over by the device,
// one receive event per byte, the frame server's received-byte handler.

#include "link/clsServidorTramas.h"

#include "comm/FakeSerialBackend.h"
#include "forms/VirtualScheduler.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray replyBytes() {
    return QByteArray::fromHex("4000014002020085");
}

struct Rig {
    forms::VirtualScheduler clock;
    comm::FakeSerialBackend* fake = new comm::FakeSerialBackend(clock);
    clsServidorTramas server{std::unique_ptr<comm::SerialBackend>(fake), clock};
};

// Bytes arriving after an exchange timed out: the server still takes each one in (collecting
// frames as while recovering), which is the handler's full path without ending a wait loop.
void BM_ReceivedByte(benchmark::State& state) {
    Rig rig;
    rig.server.subMandaTrama(1, 0, 0x40, 4, 0); // silent device: ends at the time-out
    const QByteArray chunk = replyBytes().repeated(state.range(0) / 8);
    for (auto _ : state) {
        rig.fake->deliverAt(rig.clock.nowMs(), chunk);
        rig.clock.doEvents(); // the delivery, posting one event per byte
        rig.clock.doEvents(); // the events
    }
    state.SetItemsProcessed(state.iterations() * chunk.size());
}
BENCHMARK(BM_ReceivedByte)->Arg(8)->Arg(64);

// A whole exchange: the request written, the eight reply bytes handled, the check sum tested.
void BM_Exchange(benchmark::State& state) {
    Rig rig;
    rig.fake->setResponder([](comm::FakeSerialBackend& fake, const QByteArray&) {
        if (fake.writes().size() % 8 == 0) {
            fake.deliverAfter(1, replyBytes());
        }
    });
    for (auto _ : state) {
        rig.server.subMandaTrama(1, 0, 0x40, 4, 0);
        benchmark::DoNotOptimize(rig.server.bfntErrorSumaLogica());
        rig.fake->clearWrites();
    }
    state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BM_Exchange);

} // namespace

BENCHMARK_MAIN();

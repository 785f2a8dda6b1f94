// One whole acquisition tick (humidity exchange, then pressure exchange) through the console's
// frame server over a real pseudo-terminal, against the station simulator run as a child
// process: unpaced, and paced at the real 9600-baud byte time.

#include "link/clsCicloAdquisicion.h"
#include "link/clsServidorTramas.h"

#include <QCoreApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class Simulator {
public:
    explicit Simulator(bool paced) {
        QStringList args{"--humidity-raw", "512", "--pressure-raw", "512"};
        if (paced) {
            args << "--paced";
        }
        process_.start(QCoreApplication::applicationDirPath() + "/station-sim", args);
        if (process_.waitForStarted(10000)) {
            while (!process_.canReadLine() && process_.waitForReadyRead(10000)) {
            }
            device_ = QString::fromUtf8(process_.readLine()).trimmed();
        }
    }
    ~Simulator() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    QString device() const { return device_; }

private:
    QProcess process_;
    QString device_;
};

void runTicks(benchmark::State& state, bool paced) {
    Simulator sim(paced);
    if (sim.device().isEmpty()) {
        state.SkipWithError("station-sim did not start");
        return;
    }
    clsServidorTramas servidor({}, forms::Scheduler::instance(), sim.device());
    if (!servidor.bfntPuertoAbierto()) {
        state.SkipWithError("the pseudo-terminal could not be opened");
        return;
    }
    clsCicloAdquisicion ciclo(servidor);
    for (auto _ : state) {
        if (ciclo.subTick() != clsCicloAdquisicion::enResultadoTick::Completo) {
            state.SkipWithError("the tick did not complete");
            break;
        }
        benchmark::DoNotOptimize(ciclo.dfntPresion());
    }
    servidor.subCierraPuerto();
}

void BM_TickUnpaced(benchmark::State& state) {
    runTicks(state, false);
}
void BM_TickPaced9600(benchmark::State& state) {
    runTicks(state, true);
}

} // namespace

// CPU time is the console's process only; the simulator is a separate process.
BENCHMARK(BM_TickUnpaced)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickPaced9600)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

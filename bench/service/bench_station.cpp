// The station service's figures:
// - CpuPerTick/<seconds>: brisora-station at one tick a second against the simulator on a
//   pseudo-terminal; the program's own CPU time (user + system, from /proc) over the run, as a
//   share of one core, and its resident memory at the end.
// - MemoryOverAWeek: a StationRunner on a scripted station in virtual time, a week of one-second
//   ticks; resident memory after each simulated day.
// - Shutdown: SIGTERM to exit of the real program with ticks waiting for the archive.

#include "core/StationRunner.h"

#include "archive/BatchSink.h"
#include "comm/FakeSerialBackend.h"
#include "forms/VirtualScheduler.h"

#include "ChildSignal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <csignal>
#include <unistd.h>

namespace {

QString built(const char* name) {
    return QCoreApplication::applicationDirPath() + u'/' + QLatin1StringView(name);
}

// Seconds of CPU (user + system) the process has used.
double cpuSeconds(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray text = f.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return -1;
    }
    const double ticks = fields[11].toDouble() + fields[12].toDouble(); // utime, stime
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Resident memory in MiB.
double residentMiB(const QString& pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return -1;
}

class Simulator {
public:
    Simulator() {
        m_process.start(built("station-sim"), {});
        if (m_process.waitForStarted(10000)) {
            while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
            }
            m_device = QString::fromUtf8(m_process.readLine()).trimmed();
        }
    }
    ~Simulator() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    QString device() const { return m_device; }

private:
    QProcess m_process;
    QString m_device;
};

class Station {
public:
    Station(const QString& device, int intervalMs) {
        QFile conf(m_dir.filePath(QStringLiteral("station.conf")));
        if (conf.open(QIODevice::WriteOnly)) {
            conf.write(QStringLiteral("port = %1\narchive = %2\ninterval_ms = %3\nlisten = off\n")
                           .arg(device, m_dir.filePath(QStringLiteral("archive.sqlite")))
                           .arg(intervalMs)
                           .toUtf8());
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("STATE_DIRECTORY"), m_dir.path());
        m_process.setProcessEnvironment(env);
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(built("brisora-station"), {QStringLiteral("--config"), conf.fileName()});
        m_process.waitForStarted(10000);
    }
    ~Station() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    qint64 pid() const { return m_process.processId(); }
    // Milliseconds from SIGTERM to exit; -1 when it did not exit cleanly.
    double terminate() {
        QElapsedTimer t;
        t.start();
        if (!testsupport::signalChild(m_process, SIGTERM) || !m_process.waitForFinished(10000) ||
            m_process.exitCode() != 0) {
            return -1;
        }
        return static_cast<double>(t.nsecsElapsed()) / 1e6;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

void CpuPerTick(benchmark::State& state) {
    const int seconds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Simulator sim;
        Station station(sim.device(), 1000);
        QThread::sleep(2); // past the start
        const double cpu0 = cpuSeconds(station.pid());
        QElapsedTimer wall;
        wall.start();
        QThread::sleep(static_cast<unsigned long>(seconds));
        const double cpu = cpuSeconds(station.pid()) - cpu0;
        const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(elapsed);
        state.counters["cpu_percent"] = 100.0 * cpu / elapsed;
        state.counters["cpu_ms_per_tick"] = 1000.0 * cpu / elapsed;
        state.counters["rss_MiB"] = residentMiB(QString::number(station.pid()));
        station.terminate();
    }
}
BENCHMARK(CpuPerTick)->Arg(60)->Arg(600)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

class DiscardSink final : public archive::BatchSink {
public:
    void write(std::shared_ptr<const archive::Batch>, Done done) override { done(com::S_OK); }
    void waitIdle() override {}
    com::HRESULT writeNow(const archive::Batch&) override { return com::S_OK; }
    QString path() const override { return QStringLiteral("discard"); }
};

QByteArray reply(int raw) {
    QByteArray seven("\x40\x00\x01\x40\x02", 5);
    seven += static_cast<char>(raw >> 8);
    seven += static_cast<char>(raw & 0xFF);
    int sum = 0;
    for (const char c : seven) {
        sum += static_cast<quint8>(c);
    }
    return seven + static_cast<char>(sum & 0xFF);
}

void MemoryOverAWeek(benchmark::State& state) {
    constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;
    for (auto _ : state) {
        forms::VirtualScheduler clock;
        auto* fake = new comm::FakeSerialBackend(clock);
        QByteArray pending;
        int n = 0;
        fake->setResponder([&](comm::FakeSerialBackend& f, const QByteArray& b) {
            pending += b;
            if (pending.size() >= 8) {
                pending.clear();
                f.clearWrites(); // the fake's record of the line, not the service's memory
                // Every 500th request goes unanswered: time-outs are part of a week.
                if (++n % 500 != 0) {
                    f.deliverAfter(20, reply(400 + n % 300));
                }
            }
        });
        service::StationRunner::Parts parts;
        parts.backend.reset(fake);
        parts.sink = std::make_unique<DiscardSink>();
        parts.wallClockMs = [&clock] { return clock.nowMs(); };
        service::StationRunner runner({QStringLiteral("/dev/ttyFAKE"), {}, 1000, 1000, {}}, clock,
                                      std::move(parts));
        runner.start();
        const QString self = QString::number(::getpid());
        clock.advanceBy(kDayMs);
        const double day1 = residentMiB(self);
        for (int day = 2; day <= 7; ++day) {
            clock.advanceBy(kDayMs);
        }
        const double day7 = residentMiB(self);
        state.counters["rss_day1_MiB"] = day1;
        state.counters["rss_day7_MiB"] = day7;
        state.counters["readings"] = static_cast<double>(runner.readings());
        state.counters["failed_ticks"] = static_cast<double>(runner.failedTicks());
        runner.stop();
        clock.advanceBy(10);
    }
}
BENCHMARK(MemoryOverAWeek)->Iterations(1)->Unit(benchmark::kSecond);

void Shutdown(benchmark::State& state) {
    Simulator sim;
    for (auto _ : state) {
        Station station(sim.device(), 100);
        // Three seconds of ticks: the archive writes every five, so they all still wait.
        QThread::sleep(3);
        const double ms = station.terminate();
        if (ms < 0) {
            state.SkipWithError("the service did not exit cleanly");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}
BENCHMARK(Shutdown)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

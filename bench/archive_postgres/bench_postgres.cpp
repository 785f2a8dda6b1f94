// The readings archive on PostgreSQL, on a server of the run's own (initdb in a temporary
// folder, fsync off, so the figures are the program's and the server's CPU, not the disk's):
//
// - Ingestion: N stations, each ticking once a second through its own writer (queue, writer
//   thread, connection), for ten minutes of real time (BRISORA_BENCH_PG_SECONDS shortens it for
//   a quick check). Reported: committed rows per second, the
//   lag from a tick to the commit of its row (largest and 99th percentile), and the CPU of
//   the writing process and of the server. The writers run with the options the console and
//   the service use, so the lag is what their readers see.
// - Queries over a year of ten stations generated in SQL: one station's day of readings, and
//   one station's daily table for the year. The full one-second year of ten stations (315
//   million rows) does not fit a small machine, so the other nine stations have one reading
//   every STEP seconds (BRISORA_BENCH_PG_STEP_S, default 60) while the queried one has one a
//   second for DENSE days around the queried day (BRISORA_BENCH_PG_DENSE_DAYS, default 30; 0
//   leaves it at the coarse step too) and the coarse step for the rest of its year.

#include "PostgresServer.h"

#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "archive/StoreFactory.h"
#include "archive/ThreadedSink.h"

#include "HistoryStore.h"

#include "forms/Scheduler.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

using archive::ArchiveReader;
using archive::ArchiveStore;
using archive::Entry;

testsupport::PostgresServer& server() {
    static testsupport::PostgresServer s;
    static const bool started = [] {
        if (!s.start()) {
            std::fprintf(stderr, "%s\n", qPrintable(s.error()));
            return false;
        }
        return true;
    }();
    (void)started;
    return s;
}

double processCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The machine's load over the last minute (other programs share it).
double loadAverage() {
    double load[1] = {0};
    return ::getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

// CPU of the server: the postmaster and its children (the sessions, the background workers).
double serverCpuSeconds(qint64 postmaster) {
    double total = 0;
    const long tick = ::sysconf(_SC_CLK_TCK);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number) {
            continue;
        }
        std::ifstream in("/proc/" + entry.toStdString() + "/stat");
        std::string line;
        std::getline(in, line);
        const auto close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream fields(line.substr(close + 2));
        std::string state;
        qint64 ppid = 0;
        fields >> state >> ppid;
        if (pid != postmaster && ppid != postmaster) {
            continue;
        }
        std::string skip;
        for (int i = 0; i < 9; ++i) {
            fields >> skip;
        }
        double utime = 0, stime = 0;
        fields >> utime >> stime;
        total += (utime + stime) / static_cast<double>(tick);
    }
    return total;
}

// Hands batches to the real sink and notes, at each commit, how long the oldest tick of the
// batch has waited.
class TimingSink final : public archive::BatchSink {
public:
    TimingSink(std::unique_ptr<archive::BatchSink> inner, std::vector<qint64>& lags, qint64& rows)
        : m_inner(std::move(inner))
        , m_lags(lags)
        , m_rows(rows) {}
    void write(std::shared_ptr<const archive::Batch> batch, Done done) override {
        const qint64 oldest = batch->empty() ? 0 : batch->front().timeMs;
        const auto size = static_cast<qint64>(batch->size());
        m_inner->write(std::move(batch), [this, oldest, size, done](com::HRESULT hr) {
            if (com::succeeded(hr) && size > 0) {
                const qint64 now = QDateTime::currentMSecsSinceEpoch();
                m_lags.push_back(now - oldest);
                if (now - oldest > 1000) { // when the slow commits come, to tell their cause
                    std::fprintf(stderr, "lag %lld ms at %s\n", now - oldest,
                                 qPrintable(QDateTime::fromMSecsSinceEpoch(now).toString(
                                     QStringLiteral("hh:mm:ss.zzz"))));
                }
                m_rows += size;
            }
            done(hr);
        });
    }
    void waitIdle() override { m_inner->waitIdle(); }
    com::HRESULT writeNow(const archive::Batch& batch) override { return m_inner->writeNow(batch); }
    QString path() const override { return m_inner->path(); }
    bool onServer() const override { return m_inner->onServer(); }

private:
    std::unique_ptr<archive::BatchSink> m_inner;
    std::vector<qint64>& m_lags;
    qint64& m_rows;
};

void BM_Ingestion(benchmark::State& state) {
    const int stations = static_cast<int>(state.range(0));
    const int seconds = qEnvironmentVariableIntValue("BRISORA_BENCH_PG_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("BRISORA_BENCH_PG_SECONDS")
                            : 600;
    testsupport::PostgresServer& pg = server();
    static int run = 0;
    const QString database = QStringLiteral("ingest_%1").arg(++run);
    if (!pg.isRunning() || !pg.createDatabase(database)) {
        std::fprintf(stderr, "no PostgreSQL server: %s\n", qPrintable(pg.error()));
        state.SkipWithError("no PostgreSQL server");
        return;
    }
    for (auto _ : state) {
        std::vector<qint64> lags;
        qint64 rows = 0;
        std::vector<std::unique_ptr<archive::ArchiveWriter>> writers;
        for (int i = 0; i < stations; ++i) {
            const auto where = archive::ArchiveLocation::parse(
                pg.url(database, QStringLiteral("station-%1").arg(i)));
            writers.push_back(std::make_unique<archive::ArchiveWriter>(
                std::make_unique<TimingSink>(std::make_unique<archive::ThreadedSink>(where), lags,
                                             rows),
                forms::Scheduler::instance()));
            writers.back()->start();
        }
        QEventLoop settle;
        QTimer::singleShot(2000, &settle, &QEventLoop::quit); // connections made, layout laid
        settle.exec();
        lags.clear();
        rows = 0;
        // The stations' ticks spread over each second; a timer that fires late (a loaded
        // machine) catches up, so the rate stays one reading a second per station.
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(std::max(1, 1000 / stations));
        qint64 start = 0;
        qint64 sent = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = QDateTime::currentMSecsSinceEpoch();
            for (const qint64 due = (now - start) * stations / 1000; sent < due; ++sent) {
                writers[static_cast<std::size_t>(sent % stations)]->add(
                    Entry::reading(now, 40.0 + (now / 1000) % 50, 101.3, 1, 2));
            }
        });
        const double cpu0 = processCpuSeconds();
        const double server0 = serverCpuSeconds(pg.pid());
        start = QDateTime::currentMSecsSinceEpoch();
        std::fprintf(stderr, "ticking from %s\n",
                     qPrintable(QDateTime::fromMSecsSinceEpoch(start).toString(
                         QStringLiteral("hh:mm:ss.zzz"))));
        ticker.start();
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        ticker.stop();
        const double elapsed = (QDateTime::currentMSecsSinceEpoch() - start) / 1000.0;
        const double cpu = processCpuSeconds() - cpu0;
        const double serverCpu = serverCpuSeconds(pg.pid()) - server0;
        const qint64 committed = rows;
        std::vector<qint64> sorted = lags;
        for (auto& w : writers) {
            w->close();
        }
        std::sort(sorted.begin(), sorted.end());
        state.counters["rows_per_s"] = committed / elapsed;
        state.counters["lag_max_ms"] = sorted.empty() ? -1.0 : double(sorted.back());
        state.counters["lag_p99_ms"] =
            sorted.empty() ? -1.0 : double(sorted[sorted.size() * 99 / 100]);
        state.counters["lag_p50_ms"] = sorted.empty() ? -1.0 : double(sorted[sorted.size() / 2]);
        state.counters["lags_over_1s"] = static_cast<double>(
            sorted.end() - std::upper_bound(sorted.begin(), sorted.end(), qint64(1000)));
        state.counters["client_cpu_pct"] = 100.0 * cpu / elapsed;
        state.counters["server_cpu_pct"] = 100.0 * serverCpu / elapsed;
        state.counters["seconds"] = elapsed;
        state.counters["load_avg"] = loadAverage();
    }
}

// The station the queries read, and the day they read.
const QString kQueried = QStringLiteral("s3");
qint64 queriedDayMs() {
    return QDateTime(QDate(2025, 6, 15), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
}

qint64 benchSetting(const char* name, qint64 otherwise) {
    bool ok = false;
    const qint64 value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok && value >= 0 ? value : otherwise;
}

// Readings of the stations the condition picks, from `from` to `to` every stepMs, made on the
// server.
QString readingsInsert(const QString& where, qint64 from, qint64 to, qint64 stepMs) {
    return QStringLiteral("INSERT INTO readings SELECT s.id, t, 0, 50 + 30 * sin(t / 3.6e6), "
                          "100 + 2 * cos(t / 8.64e7), (t / 1000) %% 65536, (t / 7000) %% 65536 "
                          "FROM stations s, generate_series(%1::bigint, %2::bigint, %3::bigint) t "
                          "WHERE %4")
        .arg(from)
        .arg(to - 1)
        .arg(stepMs)
        .arg(where)
        .replace(QLatin1StringView("%%"), QLatin1StringView("%"));
}

// The year 2025 of ten stations with their quarter-hour summaries, made once per run: one
// reading every step seconds, and for the queried station one a second over the dense days
// around the queried day.
QString yearDatabase() {
    static const QString name = [] {
        testsupport::PostgresServer& pg = server();
        const QString db = QStringLiteral("year");
        const qint64 stepMs =
            std::max<qint64>(benchSetting("BRISORA_BENCH_PG_STEP_S", 60), 1) * 1000;
        const qint64 denseDays =
            std::min<qint64>(benchSetting("BRISORA_BENCH_PG_DENSE_DAYS", 30), 364);
        if (!pg.isRunning() || !pg.createDatabase(db)) {
            std::fprintf(stderr, "no year database: %s (server running: %d)\n",
                         qPrintable(pg.error()), int(pg.isRunning()));
            return QString();
        }
        // The layout and the month partitions, as the writer makes them.
        for (int s = 0; s < 10; ++s) {
            auto store = archive::makeStore(
                archive::ArchiveLocation::parse(pg.url(db, QStringLiteral("s%1").arg(s))));
            if (com::failed(store->open(ArchiveStore::Mode::Write))) {
                std::fprintf(stderr, "the year's layout: %s\n", qPrintable(store->lastError()));
                return QString();
            }
            for (int month = 1; month <= 12 && s == 0; ++month) {
                const qint64 t = QDateTime(QDate(2025, month, 1), QTime(0, 0), QTimeZone::utc())
                                     .toMSecsSinceEpoch();
                const std::vector<Entry> probe{Entry::failure(t, archive::EntryKind::Timeout),
                                               Entry::reading(t, 50, 100, 1, 1)};
                store->append(probe);
            }
        }
        const qint64 from =
            QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
        const qint64 to = from + 365LL * 86'400'000;
        // The dense days, whole days centred on the queried one and kept within the year.
        const qint64 denseFrom = std::clamp(queriedDayMs() - denseDays / 2 * 86'400'000, from,
                                            to - denseDays * 86'400'000);
        const qint64 denseTo = denseFrom + denseDays * 86'400'000;
        const QString queried = QStringLiteral("s.name = '%1'").arg(kQueried);
        const QString coarse = QStringLiteral("NOT (%1 AND t >= %2 AND t < %3)")
                                   .arg(queried)
                                   .arg(denseFrom)
                                   .arg(denseTo);
        QElapsedTimer made;
        made.start();
        const bool ok =
            pg.exec(QStringLiteral("TRUNCATE readings, failures, quarter_hours"), db) &&
            pg.exec(readingsInsert(coarse, from, to, stepMs), db) &&
            (denseDays == 0 || pg.exec(readingsInsert(queried, denseFrom, denseTo, 1000), db)) &&
            pg.exec(QStringLiteral(
                        "INSERT INTO quarter_hours SELECT station_id, time_ms / 900000, count(*), "
                        "sum(humidity_pct), min(humidity_pct), (array_agg(time_ms ORDER BY "
                        "humidity_pct, time_ms))[1], max(humidity_pct), (array_agg(time_ms "
                        "ORDER BY humidity_pct DESC, time_ms))[1], sum(pressure_kpa), "
                        "min(pressure_kpa), (array_agg(time_ms ORDER BY pressure_kpa, "
                        "time_ms))[1], max(pressure_kpa), (array_agg(time_ms ORDER BY "
                        "pressure_kpa DESC, time_ms))[1] FROM readings GROUP BY 1, 2"),
                    db) &&
            pg.exec(QStringLiteral("VACUUM ANALYZE"), db);
        if (!ok) {
            std::fprintf(stderr, "the year could not be generated: %s\n", qPrintable(pg.error()));
            return QString();
        }
        std::fprintf(
            stderr,
            "year made in %.0f s: one reading every %lld s, %s at 1 Hz for %lld days "
            "from %s\n",
            made.elapsed() / 1000.0, stepMs / 1000, qPrintable(kQueried), denseDays,
            qPrintable(
                QDateTime::fromMSecsSinceEpoch(denseFrom, QTimeZone::utc()).toString(Qt::ISODate)));
        return db;
    }();
    return name;
}

std::unique_ptr<ArchiveStore> yearStation(benchmark::State& state) {
    const QString db = yearDatabase();
    if (db.isEmpty()) {
        state.SkipWithError("no year database");
        return nullptr;
    }
    auto store = archive::makeStore(archive::ArchiveLocation::parse(server().url(db, kQueried)));
    if (com::failed(store->open(ArchiveStore::Mode::Read))) {
        state.SkipWithError("cannot open the year");
        return nullptr;
    }
    return store;
}

// Planner costs for a database that is in memory or on SSD, as the README advises, set for the
// year's database while one benchmark runs; sessions opened meanwhile take them.
class SsdCosts {
public:
    explicit SsdCosts(bool on)
        : m_db(on ? yearDatabase() : QString()) {
        if (!m_db.isEmpty()) {
            server().exec(QStringLiteral("ALTER DATABASE %1 SET random_page_cost = 1.1").arg(m_db),
                          m_db);
        }
    }
    ~SsdCosts() {
        if (!m_db.isEmpty()) {
            server().exec(QStringLiteral("ALTER DATABASE %1 RESET random_page_cost").arg(m_db),
                          m_db);
        }
    }
    SsdCosts(const SsdCosts&) = delete;
    SsdCosts& operator=(const SsdCosts&) = delete;

private:
    QString m_db;
};

// Every row of the day, as `export` reads them; with the server's default planner costs (0) or
// with the costs for SSD (1), under which PostgreSQL walks the primary key in time order
// instead of sorting the day.
void BM_YearOneStationDay(benchmark::State& state) {
    const SsdCosts costs(state.range(0) != 0);
    auto store = yearStation(state);
    if (!store) {
        return;
    }
    const qint64 day = queriedDayMs();
    qint64 rows = 0;
    for (auto _ : state) {
        rows = 0;
        ArchiveReader(*store).readings(day, day + 86'400'000, [&](const Entry&) {
            ++rows;
            return true;
        });
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// The same day as the page's chart asks for it (/api/readings, 1,000 points): buckets summed by
// the server, not the day's rows carried one by one to the client.
void BM_YearOneStationDayChart(benchmark::State& state) {
    const QString db = yearDatabase();
    if (db.isEmpty()) {
        state.SkipWithError("no year database");
        return;
    }
    http::HistoryStore history(archive::ArchiveLocation::parse(server().url(db, kQueried)));
    const qint64 day = queriedDayMs();
    std::vector<http::HistoryStore::Bucket> buckets;
    qint64 width = 0;
    for (auto _ : state) {
        buckets.clear();
        if (com::failed(history.buckets(day, day + 86'400'000, 1000, buckets, width))) {
            state.SkipWithError("the day's buckets could not be read");
            return;
        }
    }
    qint64 readings = 0;
    for (const auto& b : buckets) {
        readings += b.stats.count;
    }
    state.counters["buckets"] = static_cast<double>(buckets.size());
    state.counters["readings"] = static_cast<double>(readings);
}

void BM_YearOneStationDailyTable(benchmark::State& state) {
    auto store = yearStation(state);
    if (!store) {
        return;
    }
    std::vector<ArchiveReader::DailyRow> rows;
    for (auto _ : state) {
        ArchiveReader(*store).daily(QDate(2025, 1, 1), QDate(2025, 12, 31), QTimeZone::utc(), rows);
    }
    state.counters["days"] = static_cast<double>(rows.size());
}

} // namespace

BENCHMARK(BM_Ingestion)->ArgNames({"stations"})->Arg(100)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_YearOneStationDay)
    ->ArgNames({"ssd_costs"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearOneStationDayChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearOneStationDailyTable)->Unit(benchmark::kMillisecond);

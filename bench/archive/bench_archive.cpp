// The readings archive: rows written per second in batches, the daily table over a synthetic
// year of one-second readings (one day, the whole year) and one day's readings, and the CPU an
// acquisition tick costs with archiving on and off (a station on a fake device in virtual
// time, so only the console's own work is measured).
//
// The year (31.5 million readings, about 2 GB) is built once into BRISORA_BENCH_DIR (default:
// the temporary folder) and reused by later runs.

#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "archive/LocalDays.h"
#include "archive/ThreadedSink.h"

#include "link/clsCicloAdquisicion.h"
#include "link/clsServidorTramas.h"

#include "comm/FakeSerialBackend.h"
#include "forms/VirtualScheduler.h"

#include "StationFrames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using archive::ArchiveDatabase;
using archive::ArchiveReader;
using archive::Entry;

const QTimeZone kZone("Europe/Madrid");
const QDate kYearStart(2025, 1, 1);
constexpr qint64 kYearReadings = 365LL * 24 * 3600;

std::vector<Entry> readings(qint64 startMs, qint64 first, std::size_t count) {
    std::vector<Entry> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const qint64 n = first + static_cast<qint64>(i);
        const auto rawH = static_cast<quint16>(20000 + (n * 7919) % 20000);
        const auto rawP = static_cast<quint16>(9000 + (n * 104729) % 1000);
        out.push_back(Entry::reading(startMs + n * 1000, rawH * 50.0 / 39936 * 100 - 20.5,
                                     rawP * 500 / 4710.4 + 10.6521, rawH, rawP));
    }
    return out;
}

QString yearPath() {
    const QString dir = qEnvironmentVariable("BRISORA_BENCH_DIR", QDir::tempPath());
    return QDir(dir).filePath(QStringLiteral("brisora-bench-year.sqlite"));
}

// The synthetic year, built when missing or incomplete.
ArchiveDatabase& year() {
    static ArchiveDatabase db(yearPath());
    static bool ready = false;
    if (ready) {
        return db;
    }
    ready = true;
    if (com::succeeded(db.open(ArchiveDatabase::Mode::Read))) {
        ArchiveReader::Summary s;
        ArchiveReader(db).firstAndLast(s);
        if (s.count == kYearReadings) {
            return db;
        }
    }
    db.close();
    QFile::remove(yearPath());
    QFile::remove(yearPath() + QStringLiteral("-wal"));
    QFile::remove(yearPath() + QStringLiteral("-shm"));
    std::fprintf(stderr, "Building a year of readings in %s ...\n", qPrintable(yearPath()));
    db.open(ArchiveDatabase::Mode::Write);
    const qint64 start = archive::LocalDay::startOf(kYearStart, kZone);
    constexpr std::size_t kChunk = 200000;
    for (qint64 n = 0; n < kYearReadings; n += kChunk) {
        db.append(readings(start, n, std::min<std::size_t>(kChunk, kYearReadings - n)));
    }
    return db;
}

void BM_InsertBatch(benchmark::State& state) {
    QTemporaryDir dir;
    ArchiveDatabase db(dir.filePath(QStringLiteral("a.sqlite")));
    db.open(ArchiveDatabase::Mode::Write);
    const auto size = static_cast<std::size_t>(state.range(0));
    qint64 next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto batch = readings(0, next, size);
        next += static_cast<qint64>(size);
        state.ResumeTiming();
        if (com::failed(db.append(batch))) {
            state.SkipWithError("append failed");
            break;
        }
    }
    state.SetItemsProcessed(next);
}

void BM_DailyOneDay(benchmark::State& state) {
    ArchiveReader reader(year());
    const QDate day(2025, 7, 15);
    std::vector<ArchiveReader::DailyRow> rows;
    for (auto _ : state) {
        reader.daily(day, day, kZone, rows);
        benchmark::DoNotOptimize(rows.data());
    }
    if (rows.size() != 1 || rows[0].stats.count != 86400) {
        state.SkipWithError("wrong day");
    }
}

void BM_DailyWholeYear(benchmark::State& state) {
    ArchiveReader reader(year());
    std::vector<ArchiveReader::DailyRow> rows;
    for (auto _ : state) {
        reader.daily(kYearStart, QDate(2025, 12, 31), kZone, rows);
        benchmark::DoNotOptimize(rows.data());
    }
    if (rows.size() != 365) {
        state.SkipWithError("wrong year");
    }
}

void BM_ReadingsOneDay(benchmark::State& state) {
    ArchiveReader reader(year());
    const qint64 from = archive::LocalDay::startOf(QDate(2025, 7, 15), kZone);
    qint64 count = 0;
    for (auto _ : state) {
        count = 0;
        reader.readings(from, from + 86400 * 1000, [&](const Entry&) {
            ++count;
            return true;
        });
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// One acquisition tick against a station that answers at once, with or without the archive.
void BM_Tick(benchmark::State& state) {
    forms::VirtualScheduler clock;
    auto* fake = new comm::FakeSerialBackend(clock);
    QByteArray heard;
    fake->setResponder([&heard](comm::FakeSerialBackend& f, const QByteArray& b) {
        heard += b;
        if (heard.size() >= 8) {
            heard.clear();
            f.deliverAfter(10, testsupport::reply(512));
        }
    });
    clsServidorTramas servidor(std::unique_ptr<comm::SerialBackend>(fake), clock);
    clsCicloAdquisicion ciclo(servidor);
    QTemporaryDir dir;
    std::unique_ptr<archive::ArchiveWriter> writer;
    if (state.range(0) != 0) {
        writer = std::make_unique<archive::ArchiveWriter>(
            std::make_unique<archive::ThreadedSink>(dir.filePath(QStringLiteral("a.sqlite"))),
            clock);
        ciclo.setTickTerminado([&](const clsCicloAdquisicion::stTick& t) {
            writer->add(Entry::reading(QDateTime::currentMSecsSinceEpoch(), t.dHumedad, t.dPresion,
                                       static_cast<quint16>(t.lLecturaHumedad),
                                       static_cast<quint16>(t.lLecturaPresion)));
        });
    }
    for (auto _ : state) {
        if (ciclo.subTick() != clsCicloAdquisicion::enResultadoTick::Completo) {
            state.SkipWithError("the tick did not complete");
            break;
        }
        fake->clearWrites();
        clock.advanceBy(1000); // the next second: the writer's beat falls among the ticks
    }
    if (writer) {
        writer->close();
    }
}

} // namespace

BENCHMARK(BM_InsertBatch)->Arg(5)->Arg(300)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DailyOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DailyWholeYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadingsOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tick)->ArgName("archive")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

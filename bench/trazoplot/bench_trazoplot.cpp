// Strip chart: appending with the repaint it causes, full redraws at several sample counts,
// and memory over a simulated week of one-second ticks.
#include "../support/BenchRequire.h"
#include "BenchData.h"
#include "trazoplot/ChartRenderer.h"
#include "trazoplot/StripChart.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

using namespace trazoplot;

namespace {

// A chart with `samples` readings on both channels over a time axis of `minutes`.
std::unique_ptr<StripChart> makeChart(std::int64_t samples,
                                      double minutes = benchdata::kHours * 60) {
    auto chart = std::make_unique<StripChart>();
    ChartSettings& s = chart->settings();
    bench::require(s.setMaximum(axis::Time, minutes), "settings");
    bench::require(s.setStep(axis::Time, 60), "settings");
    bench::require(s.setMinimum(axis::Right, 15), "settings");
    bench::require(s.setMaximum(axis::Right, 115), "settings");
    bench::require(s.setPosition(axis::Right, minutes), "settings");
    bench::require(s.setTitle(axis::Time, QStringLiteral("Tiempo (horas:minutos)")), "settings");
    bench::require(s.setTitle(axis::Left, QStringLiteral("Humedad (%)")), "settings");
    bench::require(s.setTitle(axis::Right, QStringLiteral("Presión (KPa)")), "settings");
    for (std::int64_t i = 0; i < samples; ++i) {
        bench::require(chart->append(0, benchdata::humidity(i)), "append");
        bench::require(chart->append(1, benchdata::pressure(i)), "append");
    }
    return chart;
}

const QRect kBounds(0, 0, benchdata::kWidth, benchdata::kHeight);

// One tick: both channels appended, then what they invalidated painted.
void BM_AppendWithRepaint(benchmark::State& state) {
    auto chart = makeChart(111600);
    ChartRenderer renderer;
    QImage image(kBounds.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        renderer.paint(p, kBounds, *chart);
    }
    std::int64_t i = chart->count();
    std::int64_t fullRepaints = 0;
    for (auto _ : state) {
        const std::int64_t before = chart->count();
        bench::require(chart->append(0, benchdata::humidity(i)), "append");
        bench::require(chart->append(1, benchdata::pressure(i)), "append");
        ++i;
        const QRect dirty = renderer.dirtyAfterAppend(kBounds, *chart, before);
        fullRepaints += dirty == kBounds ? 1 : 0;
        if (!dirty.isEmpty()) {
            QPainter p(&image);
            renderer.paint(p, kBounds, *chart, dirty);
        }
    }
    state.counters["full_repaint_share"] =
        double(fullRepaints) / double(std::max<std::int64_t>(state.iterations(), 1));
}
BENCHMARK(BM_AppendWithRepaint)->Unit(benchmark::kMicrosecond);

// Appending alone.
void BM_AppendOnly(benchmark::State& state) {
    auto chart = makeChart(111600);
    std::int64_t i = chart->count();
    for (auto _ : state) {
        bench::require(chart->append(0, benchdata::humidity(i)), "append");
        bench::require(chart->append(1, benchdata::pressure(i)), "append");
        ++i;
    }
}
BENCHMARK(BM_AppendOnly)->Unit(benchmark::kNanosecond);

// A whole repaint of the chart (curves over the kept static layer), antialiased.
void BM_FullRedraw(benchmark::State& state) {
    auto chart = makeChart(state.range(0));
    ChartRenderer renderer;
    QImage image(kBounds.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        renderer.paint(p, kBounds, *chart);
    }
}
BENCHMARK(BM_FullRedraw)->Arg(10000)->Arg(111600)->Arg(1000000)->Unit(benchmark::kMillisecond);

// As BM_FullRedraw, with the time axis as long as the samples (up to 31 hours), so that every
// case draws curves across the whole width: the cost should not grow with the samples.
void BM_FullRedrawFullWidth(benchmark::State& state) {
    const std::int64_t samples = state.range(0);
    const double minutes = std::min(double(samples), benchdata::kHours * 3600) / 60.0;
    auto chart = makeChart(samples, minutes);
    ChartRenderer renderer;
    QImage image(kBounds.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        renderer.paint(p, kBounds, *chart);
    }
}
BENCHMARK(BM_FullRedrawFullWidth)
    ->Arg(10000)
    ->Arg(111600)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

// The same with the static layer (grid, axes, text) drawn afresh every time.
void BM_FullRedrawUncached(benchmark::State& state) {
    auto chart = makeChart(state.range(0));
    ChartRenderer renderer;
    QImage image(kBounds.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&image);
        renderer.paint(p, kBounds, *chart, {}, false);
    }
}
BENCHMARK(BM_FullRedrawUncached)
    ->Arg(10000)
    ->Arg(111600)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

long residentKb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * 4 : -1;
}

// A week of ticks, repainting once a minute: resident memory after the first hour and after
// the week.
void BM_WeekOfTicksMemory(benchmark::State& state) {
    for (auto _ : state) {
        StripChart chart;
        bench::require(chart.settings().setMaximum(axis::Time, 8 * 60), "settings");
        ChartRenderer renderer;
        QImage image(kBounds.size(), QImage::Format_ARGB32_Premultiplied);
        long hour = 0;
        long fullAxis = 0;  // the 8-hour axis has filled once
        long fullStore = 0; // the store has wrapped once (31 hours)
        for (std::int64_t i = 0; i < 7 * 24 * 3600; ++i) {
            bench::require(chart.append(0, benchdata::humidity(i)), "append");
            bench::require(chart.append(1, benchdata::pressure(i)), "append");
            if (i % 60 == 0) {
                QPainter p(&image);
                renderer.paint(p, kBounds, chart);
            }
            if (i == 3600)
                hour = residentKb();
            if (i == 9 * 3600)
                fullAxis = residentKb();
            if (i == 32 * 3600)
                fullStore = residentKb();
        }
        const long week = residentKb();
        state.counters["rss_hour_kB"] = double(hour);
        state.counters["rss_9h_kB"] = double(fullAxis);
        state.counters["rss_32h_kB"] = double(fullStore);
        state.counters["rss_week_kB"] = double(week);
        state.counters["growth_kB"] = double(week - hour);
    }
}
BENCHMARK(BM_WeekOfTicksMemory)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication* app = nullptr;
#ifdef BRISORA_HAVE_QCUSTOMPLOT
    extern QGuiApplication* makeWidgetApplication(int&, char**);
    app = makeWidgetApplication(argc, argv);
#else
    app = new QGuiApplication(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete app;
    return 0;
}

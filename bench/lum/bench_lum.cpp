// Speed of a meter's value update over its cached face, and of a full face rebuild, on a
// 259 x 161 needle meter rendered offscreen.
#include "lum/Lum.h"
#include "lum/LumDiagnostics.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <array>

using namespace lum;

namespace {

Context benchContext;
ProcessVarHandle benchPv;
PlotHandle benchPlot;

constexpr std::array<Colorref, 5> kChannels = {0x800000, 0x008000, 0x000080, 0x00FFFF, 0x808000};
constexpr std::array<Colorref, 3> kAlarms = {0x008000, 0x000080, 0x800000};

void buildMeter(PlotHandle plot, DcHandle dc) {
    LbSetPlotBevel(plot, kBevelFlat);
    LbSetFont(0, QStringLiteral("Arial"), 8, 0);
    LbSetLineAttributes(plot, dc, 0, 1, 0);
    LrSetAlarm(benchPv, kAlarmHigh, 9.0, QStringLiteral("High Alarm"));
    LrSetAlarm(benchPv, kAlarmLow, 1.0, QStringLiteral("Low Alarm"));
    const MeterHandle meter = LrCreateNeedleMeter(
        plot, benchPv, kAllChannels, 0.0, 10.0, 0.5, 0.6, 0.9, 0, 180, 5, kChannels, 0.1, 2.0, 3,
        kTicksInside, kTicksInside, 0, true, 1, true, false, true, 0.1, kAlarms);
    LrSetAlarmArcRange(plot, meter, 0.0, 10.0);
    LrAddMeterBorder(plot, meter, 0.5, 0.5, 0.8, 0.8, 0xFFFFFF, kBorderRectangle, 0, 1);
    LbAddText(plot, dc, QStringLiteral("Meter"), 0.5, 0.015, kTextCenter | kTextTop, 0);
}

// A page with one needle meter, built as a meter control builds it.
struct BenchMeter {
    QWidget host;
    PageHandle page;
    QImage target{QSize(259, 161), QImage::Format_ARGB32_Premultiplied};

    BenchMeter() {
        LbInitialize(
            &benchContext,
            [](void*, PageHandle p) {
                benchPv = LrCreateProcessVar(QStringLiteral("METER"), 1, QString(), 0, 0);
                benchPlot = LbCreatePlotArea(&benchContext, p, 0.01, 0.01, 0.99, 0.99, 0xC0C0C0, 0,
                                             1, &benchContext);
            },
            [](void*, PlotHandle plot, DcHandle dc) { buildMeter(plot, dc); }, kInitFlags);
        host.resize(259, 161);
        page = LbCreatePage(QStringLiteral("B"), &host, QString(), QString(), 0xC0C0C0, 10, 0, 0, 0,
                            0, 259, 161, &benchContext);
        diag::grabPage(page);
    }
    ~BenchMeter() {
        LbDestroyPage(page);
        LrDestroyProcessVar(benchPv);
    }
    void render() {
        QPainter p(&target);
        diag::renderPlot(benchPlot, p);
    }
};

void BM_ValueUpdateCachedFace(benchmark::State& state) {
    BenchMeter meter;
    double value = 0.0;
    for (auto _ : state) {
        value = value >= 10.0 ? 0.0 : value + 0.37;
        LrUpdateProcessVar(benchPv, std::span(&value, 1), benchPlot);
        meter.render();
        benchmark::ClobberMemory();
    }
    state.counters["faceBuilds"] = diag::staticLayerBuilds(benchPlot);
}
BENCHMARK(BM_ValueUpdateCachedFace)->Unit(benchmark::kMicrosecond);

void BM_FaceRebuild(benchmark::State& state) {
    BenchMeter meter;
    QWidget* plot = LbGetPlotWindow(benchPlot);
    int width = plot->width();
    for (auto _ : state) {
        // A size change makes the next paint draw the static face again.
        width = width == 253 ? 252 : 253;
        plot->resize(width, 157);
        meter.render();
        benchmark::ClobberMemory();
    }
    state.counters["faceBuilds"] = diag::staticLayerBuilds(benchPlot);
}
BENCHMARK(BM_FaceRebuild)->Unit(benchmark::kMicrosecond);

void BM_FullRebuild(benchmark::State& state) {
    BenchMeter meter;
    for (auto _ : state) {
        // What a meter control's rebuild does: release the plot, a new process variable and
        // plot area, whose first paint builds the meter; then the whole page is drawn.
        LrReleasePlotObjects(benchPlot);
        LrDestroyProcessVar(benchPv);
        benchPv = LrCreateProcessVar(QStringLiteral("METER"), 1, QString(), 0, 0);
        benchPlot = LbCreatePlotArea(&benchContext, meter.page, 0.01, 0.01, 0.99, 0.99, 0xC0C0C0, 0,
                                     1, &benchContext);
        benchmark::DoNotOptimize(diag::grabPage(meter.page));
    }
}
BENCHMARK(BM_FullRebuild)->Unit(benchmark::kMicrosecond);

} // namespace

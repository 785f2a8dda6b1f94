// Speed of the meter: a value update with its repaint, a rebuild, settings-file input and output,
// and its picture on the clipboard and in files.
#include "../support/BenchRequire.h"
#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"

#include <com/ControlSite.h>
#include <lum/LumBase.h>
#include <lum/LumDiagnostics.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace gaugekit;

namespace {

// A 259 x 161 needle meter hosted and drawn offscreen, its face cached.
class DrawnMeter {
public:
    DrawnMeter() {
        const auto ctrl = com::ComPtr<CGAUGEKITCtrl>::adopt(new CGAUGEKITCtrl);
        bench::require(site.attach(ctrl->unknown()), "attach");
        meter = ctrl.get(); // the site keeps it alive
        bench::require(site.initNew(), "InitNew");
        bench::require(site.setProperty(dispid::MeterNumChannels, std::int32_t(2)),
                       "MeterNumChannels");
        site.resize(259, 161);
        bench::require(site.activate(), "activate");
        paint();
    }
    void paint() {
        for (int i = 0; i < 3; ++i) {
            site.grab();
            lum::diag::grabPage(meter->pageSite().page());
        }
    }

    com::ControlSite site;
    CGAUGEKITCtrl* meter = nullptr;
};

void BM_ValueUpdateAndRepaint(benchmark::State& state) {
    DrawnMeter m;
    const lum::PlotHandle plot = m.meter->model().plot();
    QImage image(259, 161, QImage::Format_ARGB32_Premultiplied);
    double values[2] = {0, 0};
    int step = 0;
    const int facesBefore = lum::diag::staticLayerBuilds(plot);
    for (auto _ : state) {
        values[0] = (step % 100) / 10.0;
        values[1] = 10.0 - values[0];
        ++step;
        bench::require(m.meter->Invoke(dispid::UpdateDynData, com::DISPATCH_METHOD,
                                       {com::Variant::r8Ref(values, 2)}, nullptr),
                       "UpdateDynData");
        QPainter painter(&image);
        lum::diag::renderPlot(plot, painter);
    }
    if (lum::diag::staticLayerBuilds(plot) != facesBefore)
        state.SkipWithError("the face was drawn again");
}
BENCHMARK(BM_ValueUpdateAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_Rebuild(benchmark::State& state) {
    DrawnMeter m;
    QImage image(259, 161, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        m.meter->updateMeter();
        // The new plot area builds its meter at its first paint.
        lum::diag::grabPage(m.meter->pageSite().page());
    }
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMicrosecond);

void BM_CopyToClipboard(benchmark::State& state) {
    DrawnMeter m;
    for (auto _ : state)
        benchmark::DoNotOptimize(m.meter->copyToClipboard());
}
BENCHMARK(BM_CopyToClipboard)->Unit(benchmark::kMillisecond);

// Argument: the picture type (1 SVG, 2 PDF, 3 PNG).
void BM_SavePageMeta(benchmark::State& state) {
    DrawnMeter m;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("picture"));
    const auto type = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(m.meter->savePageMeta(type, file));
}
BENCHMARK(BM_SavePageMeta)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_SaveSettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("m.SER"));
    const auto meter = com::ComPtr<CGAUGEKITCtrl>::adopt(new CGAUGEKITCtrl);
    bench::require(meter->InitNew(), "InitNew");
    for (auto _ : state)
        benchmark::DoNotOptimize(meter->serializeSaveFile(file));
}
BENCHMARK(BM_SaveSettingsFile)->Unit(benchmark::kMicrosecond);

void BM_LoadSettingsFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("m.SER"));
    const auto meter = com::ComPtr<CGAUGEKITCtrl>::adopt(new CGAUGEKITCtrl);
    bench::require(meter->InitNew(), "InitNew");
    bench::require(meter->serializeSaveFile(file) ? com::S_OK : com::E_FAIL, "serializeSaveFile");
    bool opened = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(meter->serializeLoadFile(file, &opened));
}
BENCHMARK(BM_LoadSettingsFile)->Unit(benchmark::kMicrosecond);

} // namespace

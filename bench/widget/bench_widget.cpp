// Setting a channel value through GaugeKit::MeterWidget against the same call made late-bound
// through a control site, as containers make it: the widget should cost no more.
#include "../support/BenchRequire.h"
#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "MeterWidgetPrivate.h"

#include <com/ControlSite.h>
#include <lum/LumBase.h>
#include <lum/LumDiagnostics.h>

#include <benchmark/benchmark.h>

using namespace gaugekit;

namespace {

// Paints until the drawing library has built the meter.
void paint(QWidget& w, CGAUGEKITCtrl& meter) {
    for (int i = 0; i < 3; ++i) {
        w.grab();
        if (lum::LbIsValidPage(meter.pageSite().page()))
            lum::diag::grabPage(meter.pageSite().page());
    }
}

double nextValue(int& step) {
    return (step++ % 100) / 10.0;
}

void BM_SetValueThroughWidget(benchmark::State& state) {
    GaugeKit::MeterWidget widget;
    widget.resize(259, 161);
    auto* meter =
        dynamic_cast<CGAUGEKITCtrl*>(GaugeKit::MeterWidgetPrivate::site(widget).control());
    paint(widget, *meter);
    int step = 0;
    for (auto _ : state)
        widget.setValue(0, nextValue(step));
}

void BM_SetValueThroughDispatch(benchmark::State& state) {
    com::ControlSite site;
    const auto meter = com::ComPtr<CGAUGEKITCtrl>::adopt(new CGAUGEKITCtrl);
    bench::require(site.attach(meter->unknown()), "attach");
    bench::require(site.initNew(), "InitNew");
    site.resize(259, 161);
    bench::require(site.activate(), "activate");
    paint(site, *meter);
    int step = 0;
    for (auto _ : state) {
        bench::require(
            site.callMethod(dispid::UpdateDataValue, {std::int32_t(0), nextValue(step), true}),
            "UpdateDataValue");
    }
}

} // namespace

BENCHMARK(BM_SetValueThroughWidget);
BENCHMARK(BM_SetValueThroughDispatch);

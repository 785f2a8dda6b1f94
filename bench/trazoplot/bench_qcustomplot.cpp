// For comparison: the same two channels and window redrawn by QCustomPlot with its adaptive
// sampling, antialiased, at the same size.
#include "BenchData.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

QGuiApplication* makeWidgetApplication(int& argc, char** argv) {
    return new QApplication(argc, argv);
}

namespace {

void fill(QCPGraph* graph, std::int64_t samples, double (*value)(std::int64_t)) {
    const std::int64_t window = std::int64_t(benchdata::kHours * 3600);
    const std::int64_t first = std::max<std::int64_t>(0, samples - window);
    QVector<double> keys;
    QVector<double> values;
    for (std::int64_t i = first; i < samples; ++i) {
        keys.append(double(i) / 60.0);
        values.append(value(i));
    }
    graph->setData(keys, values, true);
    graph->setAdaptiveSampling(true);
}

void BM_QCustomPlotRedraw(benchmark::State& state) {
    QCustomPlot plot;
    plot.resize(benchdata::kWidth, benchdata::kHeight);
    plot.setAntialiasedElements(QCP::aeAll);
    plot.setNoAntialiasingOnDrag(false);
    plot.yAxis2->setVisible(true);
    QCPGraph* humidity = plot.addGraph(plot.xAxis, plot.yAxis);
    QCPGraph* pressure = plot.addGraph(plot.xAxis, plot.yAxis2);
    fill(humidity, state.range(0), benchdata::humidity);
    fill(pressure, state.range(0), benchdata::pressure);
    humidity->setPen(QPen(Qt::red));
    pressure->setPen(QPen(Qt::darkBlue));
    plot.xAxis->setLabel(QStringLiteral("Tiempo (horas:minutos)"));
    plot.yAxis->setLabel(QStringLiteral("Humedad (%)"));
    plot.yAxis2->setLabel(QStringLiteral("Presión (KPa)"));
    const double last = double(state.range(0)) / 60.0;
    plot.xAxis->setRange(std::max(0.0, last - benchdata::kHours * 60),
                         std::max(last, benchdata::kHours * 60));
    plot.yAxis->setRange(0, 100);
    plot.yAxis2->setRange(15, 115);
    QImage image(benchdata::kWidth, benchdata::kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QCPPainter painter(&image);
        plot.toPainter(&painter, benchdata::kWidth, benchdata::kHeight);
    }
}
BENCHMARK(BM_QCustomPlotRedraw)
    ->Arg(10000)
    ->Arg(111600)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

} // namespace

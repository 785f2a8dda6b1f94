// Where a value update's repaint of the default 259 x 161 meter control spends its time, one
// part at a time, each drawn by the cheapest painter call that gives the meter's own pixels:
//   - the copy of the cached face;
//   - two hollow-triangle needles (dial radius 39.25) filled from their kept outlines;
//   - the two readout lines, drawn at a point (no box layout, one text shaping per line);
//   - the hub.
// Their sum is the least a repaint can cost while every pixel stays what the painter gives.
#include "NeedleShape.h"

#include "lum/LumTypes.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

using namespace lum;

namespace {

constexpr QSize kPlot(259, 161);
constexpr QPointF kCenter(129.5, 90.5);
constexpr double kRadius = 39.25;
constexpr double kHub = 3.0;

struct Parts {
    QImage target{kPlot, QImage::Format_ARGB32_Premultiplied};
    QPixmap face{kPlot};
    NeedleShape first{kNeedleLongHollowTriangle};
    NeedleShape second{kNeedleLongHollowTriangle};
    QFont font{QStringLiteral("DejaVu Sans"), 9, QFont::Bold};
    int step = 0;

    Parts() {
        face.fill(QColor(192, 192, 192));
        QPainter p(&face);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::white);
        p.drawEllipse(kCenter, kRadius, kRadius);
    }
    // The values of the meter benchmark: 0 to 9.9 on one channel, 10 less on the other.
    double value() const { return (step % 100) / 10.0; }
    static double angle(double v) { return 180.0 - v * 18.0; }
};

void copyFace(QPainter& p, Parts& m) {
    p.drawPixmap(0, 0, m.face);
}

void drawNeedles(QPainter& p, Parts& m) {
    m.first.draw(p, kCenter, kRadius, Parts::angle(m.value()), QColor(128, 0, 0));
    m.second.draw(p, kCenter, kRadius, Parts::angle(10.0 - m.value()), QColor(0, 128, 0));
}

void drawReadoutText(QPainter& p, Parts& m) {
    p.setFont(m.font);
    p.setPen(Qt::black);
    p.drawText(QPointF(110, 128), QString::number(m.value(), 'f', 2));
    p.drawText(QPointF(110, 142), QString::number(10.0 - m.value(), 'f', 2));
}

void drawHub(QPainter& p, Parts&) {
    p.setPen(QPen(QColor(30, 30, 30), 1.0));
    p.setBrush(QColor(70, 70, 70));
    p.drawEllipse(kCenter, kHub, kHub);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 170, 170));
    p.drawEllipse(kCenter, kHub * 0.35, kHub * 0.35);
}

void beginOnly(QPainter&, Parts&) {}

void allParts(QPainter& p, Parts& m) {
    copyFace(p, m);
    drawReadoutText(p, m);
    drawNeedles(p, m);
    drawHub(p, m);
}

template <void (*Part)(QPainter&, Parts&)>
void BM_RepaintPart(benchmark::State& state) {
    Parts m;
    for (auto _ : state) {
        QPainter p(&m.target);
        p.setRenderHint(QPainter::Antialiasing);
        Part(p, m);
        ++m.step;
    }
}

BENCHMARK(BM_RepaintPart<beginOnly>)->Name("BM_RepaintPart/painter")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintPart<copyFace>)->Name("BM_RepaintPart/face")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintPart<drawNeedles>)
    ->Name("BM_RepaintPart/needles")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintPart<drawReadoutText>)
    ->Name("BM_RepaintPart/readoutText")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintPart<drawHub>)->Name("BM_RepaintPart/hub")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintPart<allParts>)->Name("BM_RepaintPart/all")->Unit(benchmark::kMicrosecond);

} // namespace

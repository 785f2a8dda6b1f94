// Dense curves written straight into an image against the painter's own antialiased lines
// over the same polylines.
#include "CurveBuilder.h"
#include "CurveRasterizer.h"
#include "SampleStore.h"
#include "TimeWindow.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <functional>
#include <limits>

using namespace trazoplot;

namespace {

using Series = std::function<double(std::int64_t)>;

const QColor kBackground(0xFC, 0xFC, 0xFD);
const QColor kColours[] = {QColor(0xC0, 0x00, 0x00), QColor(0x00, 0x00, 0x80)};
const QRect kImage(0, 0, 320, 200);
const QRect kPlot(12, 9, 290, 180);

// Both channels drawn over one window: into `image` through the rasterizer when `direct`,
// through the painter otherwise. The second channel follows the first half a unit higher,
// so that their strokes overlap.
void drawCurves(QImage& image, const Series& series, std::int64_t count, double minutes,
                bool direct) {
    SampleStore stores[2];
    for (std::int64_t i = 0; i < count; ++i) {
        stores[0].append(series(i));
        stores[1].append(series(i) + 0.5);
    }
    AxisSettings time;
    time.maximum = minutes;
    const TimeWindow w = TimeWindow::compute(time, count, kPlot.width(), 1);
    const LinearScale x(double(w.firstSample), double(w.lastSample()), kPlot.left(), kPlot.right());
    const LinearScale y(0.0, 100.0, kPlot.bottom(), kPlot.top());
    image.fill(kBackground);
    QPainter p(&image);
    p.setClipRect(kPlot);
    p.setRenderHint(QPainter::Antialiasing, true);
    const std::optional<CurveRasterizer::Target> target = CurveRasterizer::target(p);
    QVERIFY(target.has_value());
    CurveRasterizer raster;
    for (int channel = 0; channel < 2; ++channel) {
        const Curve c =
            CurveBuilder::build(stores[channel], w, x, y, kPlot.left(), kPlot.right() + 1);
        p.setPen(QPen(kColours[channel], 1.0));
        int begin = 0;
        for (int end : c.runEnds) {
            if (end - begin > 1 && direct)
                raster.drawPolyline(*target, c.points.data() + begin, end - begin,
                                    kColours[channel]);
            else if (end - begin > 1)
                p.drawPolyline(c.points.data() + begin, end - begin);
            begin = end;
        }
    }
}

int channelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

Q_DECLARE_METATYPE(Series)

class TstTrazoRaster : public QObject {
    Q_OBJECT
private slots:
    void matchesThePaintersLines_data();
    void matchesThePaintersLines();
    void onlyPlainRasterTargetsAreWrittenDirectly();
    void keepsWithinTheClipAndTheImage();
    void aPolylineThatTurnsBackIsDrawnWhole();
};

void TstTrazoRaster::matchesThePaintersLines_data() {
    QTest::addColumn<Series>("series");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<double>("minutes");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("flat") << Series([](std::int64_t) { return 50.0; }) << qint64(28800) << 480.0;
    QTest::newRow("steady fall, a hundred samples a column")
        << Series([](std::int64_t i) { return 95.0 - double(i) * 0.003; }) << qint64(28800)
        << 480.0;
    QTest::newRow("noisy wave") << Series([](std::int64_t i) {
        return 50 + 30 * std::sin(double(i) / 2000.0) + double(i % 97) * 0.08;
    }) << qint64(111600) << 1860.0;
    QTest::newRow("spikes of one sample") << Series([](std::int64_t i) {
        return i % 997 == 0 ? 97.0 : i % 1301 == 0 ? 3.0 : 40.0;
    }) << qint64(28800) << 480.0;
    QTest::newRow("gaps") << Series([nan](std::int64_t i) {
        return (i / 1500) % 3 == 1 ? nan : 50 + 20 * std::sin(double(i) / 900.0);
    }) << qint64(28800) << 480.0;
    QTest::newRow("off the scale") << Series([](std::int64_t i) {
        return i % 5000 < 100 ? 1e300 : (i % 5000 < 200 ? -1e300 : 50.0 + double(i % 7));
    }) << qint64(28800) << 480.0;
    QTest::newRow("a column still filling")
        << Series([](std::int64_t i) { return 20 + double(i % 311) * 0.2; }) << qint64(14437)
        << 480.0;
}

void TstTrazoRaster::matchesThePaintersLines() {
    // Per colour channel the two may differ by 3 levels in 255: the painter blends every
    // stroke over a pixel with its own rounding (up to three strokes meet in a pixel), the
    // rasterizer blends the union of their coverage once. The pixels touched are the same.
    constexpr int kTolerance = 3;
    QFETCH(Series, series);
    QFETCH(qint64, count);
    QFETCH(double, minutes);
    QImage painter(kImage.size(), QImage::Format_ARGB32_Premultiplied);
    QImage direct(kImage.size(), QImage::Format_ARGB32_Premultiplied);
    drawCurves(painter, series, count, minutes, false);
    drawCurves(direct, series, count, minutes, true);
    int touched = 0;
    int worst = 0;
    for (int y = 0; y < kImage.height(); ++y) {
        for (int x = 0; x < kImage.width(); ++x) {
            const QRgb a = painter.pixel(x, y);
            const QRgb b = direct.pixel(x, y);
            const bool inA = a != kBackground.rgb();
            const bool inB = b != kBackground.rgb();
            QVERIFY2(inA == inB, qPrintable(QStringLiteral("(%1, %2) touched by only one: %3 %4")
                                                .arg(x)
                                                .arg(y)
                                                .arg(a, 8, 16)
                                                .arg(b, 8, 16)));
            touched += inA ? 1 : 0;
            worst = std::max(worst, channelDifference(a, b));
        }
    }
    QVERIFY(touched > 200);
    QVERIFY2(worst <= kTolerance, qPrintable(QStringLiteral("differ by %1").arg(worst)));
}

void TstTrazoRaster::onlyPlainRasterTargetsAreWrittenDirectly() {
    QImage rgb(64, 64, QImage::Format_RGB32);
    QImage straight(64, 64, QImage::Format_ARGB32);
    {
        QPainter p(&rgb);
        QVERIFY(CurveRasterizer::target(p).has_value());
        p.translate(3, 4);
        const auto moved = CurveRasterizer::target(p);
        QVERIFY(moved.has_value());
        QCOMPARE(moved->offset, QPoint(3, 4));
        p.translate(0.5, 0);
        QVERIFY(!CurveRasterizer::target(p).has_value());
        p.resetTransform();
        p.scale(2, 2);
        QVERIFY(!CurveRasterizer::target(p).has_value());
        p.resetTransform();
        p.setOpacity(0.5);
        QVERIFY(!CurveRasterizer::target(p).has_value());
        p.setOpacity(1.0);
        p.setClipRegion(QRegion(0, 0, 10, 10) + QRegion(20, 20, 10, 10));
        QVERIFY(!CurveRasterizer::target(p).has_value());
    }
    QPainter p(&straight);
    QVERIFY(!CurveRasterizer::target(p).has_value());
}

void TstTrazoRaster::keepsWithinTheClipAndTheImage() {
    // Strokes far beyond the image and across the clip's edge: nothing is written outside
    // the clip, and the clip's pixels match the painter's.
    const QPointF points[] = {{-5000.5, 40.5}, {20.5, -9000}, {20.5, 9000}, {21.5, 30},
                              {21.5, 35},      {60.5, 70},    {4000, 1e6}};
    QImage painter(80, 80, QImage::Format_RGB32);
    QImage direct(80, 80, QImage::Format_RGB32);
    for (QImage* image : {&painter, &direct}) {
        image->fill(Qt::white);
        QPainter p(image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(2, 3);
        p.setClipRect(QRect(5, 5, 50, 50));
        p.setPen(QPen(Qt::darkGreen, 1.0));
        if (image == &painter) {
            p.drawPolyline(points, int(std::size(points)));
        } else {
            const auto target = CurveRasterizer::target(p);
            QVERIFY(target.has_value());
            CurveRasterizer().drawPolyline(*target, points, int(std::size(points)), Qt::darkGreen);
        }
    }
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool inClip = QRect(7, 8, 50, 50).contains(x, y);
            if (!inClip)
                QCOMPARE(direct.pixel(x, y), QColor(Qt::white).rgb());
            QVERIFY2(channelDifference(painter.pixel(x, y), direct.pixel(x, y)) <= 3,
                     qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        }
}

void TstTrazoRaster::aPolylineThatTurnsBackIsDrawnWhole() {
    // Rightwards over more columns than are held at once, then back leftwards across them:
    // every stroke is drawn, as the painter draws it.
    std::vector<QPointF> points;
    for (int i = 0; i <= 150; ++i)
        points.emplace_back(5.5 + i, 20.5 + (i % 2) * 6.0);
    for (int i = 150; i >= 0; i -= 3)
        points.emplace_back(5.5 + i, 23.0 + (i % 7));
    QImage painter(170, 40, QImage::Format_RGB32);
    QImage direct(170, 40, QImage::Format_RGB32);
    for (QImage* image : {&painter, &direct}) {
        image->fill(Qt::white);
        QPainter p(image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(Qt::blue, 1.0));
        if (image == &painter) {
            p.drawPolyline(points.data(), int(points.size()));
        } else {
            const auto target = CurveRasterizer::target(p);
            QVERIFY(target.has_value());
            CurveRasterizer().drawPolyline(*target, points.data(), int(points.size()), Qt::blue);
        }
    }
    int worst = 0;
    for (int y = 0; y < painter.height(); ++y)
        for (int x = 0; x < painter.width(); ++x) {
            QCOMPARE(direct.pixel(x, y) == QColor(Qt::white).rgb(),
                     painter.pixel(x, y) == QColor(Qt::white).rgb());
            worst = std::max(worst, channelDifference(painter.pixel(x, y), direct.pixel(x, y)));
        }
    QVERIFY2(worst <= 3, qPrintable(QStringLiteral("differ by %1").arg(worst)));
}

QTEST_GUILESS_MAIN(TstTrazoRaster)
#include "tst_trazoraster.moc"

// A needle drawn from its kept outline must give exactly the pixels of the plain painter
// calls a needle is made of (a stroked line or triangle), at any angle, size and position:
// the kept outline is only there to make a value update cheaper.
#include "NeedleShape.h"

#include "lum/LumTypes.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTest>

#include <algorithm>

namespace {

// The needle as the plain painter calls draw it.
void strokeNeedle(QPainter& p, int style, QPointF center, double r, double angle, QColor color) {
    const bool longNeedle =
        style != lum::kNeedleShortFilledTriangle && style != lum::kNeedleShortHollowTriangle;
    const double length = r * (longNeedle ? 0.88 : 0.6);
    p.save();
    p.translate(center);
    p.rotate(-angle);
    if (style == lum::kNeedleThinLine || style == lum::kNeedleThickLine) {
        const double width =
            style == lum::kNeedleThinLine ? std::max(1.5, r * 0.015) : std::max(3.0, r * 0.045);
        p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(length, 0));
    } else {
        const double half = std::max(2.5, r * 0.06);
        const QPolygonF shape({QPointF(0, -half), QPointF(length, 0), QPointF(0, half)});
        const bool hollow =
            style == lum::kNeedleShortHollowTriangle || style == lum::kNeedleLongHollowTriangle;
        p.setPen(QPen(hollow ? color : color.darker(140), hollow ? 1.6 : 1.0, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(hollow ? QBrush(Qt::NoBrush) : QBrush(color));
        p.drawPolygon(shape);
    }
    p.restore();
}

QImage background() {
    QImage image(300, 300, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 300, 300);
    shade.setColorAt(0, QColor(192, 192, 192));
    shade.setColorAt(1, QColor(40, 90, 200));
    p.fillRect(image.rect(), shade);
    return image;
}

} // namespace

class TestLumNeedle : public QObject {
    Q_OBJECT

private slots:
    void keptOutlineFillsTheStrokedPixels_data();
    void keptOutlineFillsTheStrokedPixels();
};

void TestLumNeedle::keptOutlineFillsTheStrokedPixels_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("drawnAs");
    QTest::newRow("thin line") << int(lum::kNeedleThinLine) << int(lum::kNeedleThinLine);
    QTest::newRow("thick line") << int(lum::kNeedleThickLine) << int(lum::kNeedleThickLine);
    QTest::newRow("short filled") << int(lum::kNeedleShortFilledTriangle)
                                  << int(lum::kNeedleShortFilledTriangle);
    QTest::newRow("short hollow") << int(lum::kNeedleShortHollowTriangle)
                                  << int(lum::kNeedleShortHollowTriangle);
    QTest::newRow("long filled") << int(lum::kNeedleLongFilledTriangle)
                                 << int(lum::kNeedleLongFilledTriangle);
    QTest::newRow("long hollow") << int(lum::kNeedleLongHollowTriangle)
                                 << int(lum::kNeedleLongHollowTriangle);
    QTest::newRow("unknown style: thin line") << 42 << int(lum::kNeedleThinLine);
}

void TestLumNeedle::keptOutlineFillsTheStrokedPixels() {
    QFETCH(int, style);
    QFETCH(int, drawnAs);
    const QImage face = background();
    lum::NeedleShape needle(style);
    int compared = 0;
    // The radius changes between runs of angles, so the kept outline is rebuilt too.
    for (const double radius : {20.0, 64.75, 131.3}) {
        for (int i = 0; i < 240; ++i) {
            const double angle = -45.0 + i * 1.1371;
            const QPointF center(150.0 + (i % 5) * 0.2, 150.0 + (i % 3) * 0.35);
            const QColor color = QColor::fromHsv((i * 37) % 360, 255, 160);
            QImage kept = face;
            QImage plain = face;
            {
                QPainter p(&kept);
                p.setRenderHint(QPainter::Antialiasing);
                needle.draw(p, center, radius, angle, color);
            }
            {
                QPainter p(&plain);
                p.setRenderHint(QPainter::Antialiasing);
                strokeNeedle(p, drawnAs, center, radius, angle, color);
            }
            if (kept != plain) {
                kept.save(QStringLiteral("needle-kept.png"));
                plain.save(QStringLiteral("needle-plain.png"));
                QFAIL(qPrintable(QStringLiteral("radius %1, angle %2: the pictures differ "
                                                "(saved as needle-kept.png, needle-plain.png)")
                                     .arg(radius)
                                     .arg(angle)));
            }
            ++compared;
        }
    }
    QCOMPARE(compared, 720);
}

QTEST_MAIN(TestLumNeedle)
#include "tst_lum_needle.moc"

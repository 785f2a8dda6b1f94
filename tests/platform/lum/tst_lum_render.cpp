// Renderings of finished meters compared with reference pictures kept beside the tests, so
// that a change of look is noticed. Set BRISORA_UPDATE_REFERENCES to write the references.
#include "MeterFixture.h"

#include <lum/LumDiagnostics.h>

#include "ImageCompare.h"

#include <QDir>
#include <QPainter>
#include <QTest>

#include <array>
#include <cstdlib>

namespace {

// A pixel differs when one channel is off by more than this; a picture matches when at most
// kMaxDifferentShare of its pixels differ (fonts may render slightly differently elsewhere).
constexpr int kChannelTolerance = 48;
constexpr double kMaxDifferentShare = 0.003;

QString referencePath(const QString& name) {
    const QByteArray root = qgetenv("BRISORA_SOURCE_DIR");
    return QDir(QString::fromLocal8Bit(root))
        .filePath(QStringLiteral("tests/platform/lum/references/%1.png").arg(name));
}

double differentShare(const QImage& a, const QImage& b) {
    return testsupport::differingShare(a, b, kChannelTolerance);
}

} // namespace

Q_DECLARE_METATYPE(MeterSetup)

class TestLumRender : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFixtureCallbacks(); }
    void matchesReference_data();
    void matchesReference();
    void keptPicturesMatchDrawingAnew_data() { matchesReference_data(); }
    void keptPicturesMatchDrawingAnew();
};

void TestLumRender::matchesReference_data() {
    QTest::addColumn<MeterSetup>("setup");
    QTest::addColumn<QSize>("size");
    MeterSetup needle; // hollow long needle, ticks and labels inside, flat bevel
    needle.borderStyle = 1;
    QTest::newRow("needle-rectangle") << needle << QSize(259, 161);

    MeterSetup thin = needle;
    thin.needleStyle = 0;
    thin.borderStyle = 2;
    thin.bevel = 1;
    thin.tickPosition = 3;
    thin.values[0] = 9.4; // in high alarm: red readout
    QTest::newRow("thin-needle-circle-high-alarm") << thin << QSize(259, 161);

    MeterSetup arc;
    arc.type = 1;
    arc.diameter = 0.75;
    arc.borderStyle = 3;
    arc.bevel = 2;
    arc.units = QStringLiteral("kPa");
    arc.values[0] = 6.5;
    QTest::newRow("arc-rounded-units") << arc << QSize(259, 161);

    MeterSetup pie;
    pie.type = 2;
    pie.diameter = 0.75;
    pie.values[0] = 0.6; // in low alarm
    pie.lowStart = 0.0;
    pie.highStop = 10.0;
    QTest::newRow("pie-low") << pie << QSize(259, 161);

    MeterSetup dial; // a 270-degree dial with three filled needles, ticks and labels outside
    dial.channels = 3;
    dial.startArc = -45;
    dial.stopArc = 225;
    dial.needleStyle = 4;
    dial.centerY = 0.52;
    dial.diameter = 0.72;
    dial.tickPosition = 4;
    dial.labelPosition = 4;
    dial.borderStyle = 2;
    QTest::newRow("dial-three-needles") << dial << QSize(240, 240);

    MeterSetup shortNeedles = dial;
    shortNeedles.channels = 2;
    shortNeedles.needleStyle = 3;
    shortNeedles.scaleMin = 100.0;
    shortNeedles.scaleMax = 0.0; // reversed scale
    shortNeedles.tickStep = 10.0;
    shortNeedles.values = {25.0, 80.0, 0, 0, 0};
    shortNeedles.lowStart = 0.0;
    shortNeedles.lowStop = 5.0;
    shortNeedles.highStart = 95.0;
    shortNeedles.highStop = 100.0;
    shortNeedles.centerY = 0.56;
    QTest::newRow("reversed-short-hollow") << shortNeedles << QSize(240, 240);

    // A new control with every setting at its default.
    MeterSetup defaults;
    defaults.centerY = 0.5;
    defaults.diameter = 0.5;
    defaults.values[0] = 1.0;
    QTest::newRow("control-defaults") << defaults << QSize(200, 200);

    // The weather console's humidity meter: a top-quarter scale, palette colours by index.
    MeterSetup humidity;
    humidity.centerX = 0.51;
    humidity.centerY = 0.41;
    humidity.diameter = 0.49;
    humidity.needleStyle = 2;
    humidity.scaleMax = 100.0;
    humidity.lowStop = 0.0;
    humidity.highStart = 100.0;
    humidity.arcEnable = false;
    humidity.alarmArcs = false;
    humidity.tickStep = 10.0;
    humidity.minorTicks = 4;
    humidity.tickPosition = 4;
    humidity.labelPosition = 4;
    humidity.labelPoints = 9;
    humidity.labelColor = 12;
    humidity.lineColor = 0x0000FF;
    humidity.channelColors[0] = 12;
    humidity.alarmColors[0] = 0;
    humidity.startArc = 135;
    humidity.stopArc = 45;
    humidity.bevel = -1;
    humidity.background = 0xC0C0C0;
    humidity.title = QStringLiteral("%");
    humidity.titleColor = 0x0000FF;
    humidity.titlePoints = 9;
    humidity.footer.clear();
    humidity.values[0] = 47.3;
    QTest::newRow("console-humidity") << humidity << QSize(259, 161);
}

void TestLumRender::matchesReference() {
    QFETCH(MeterSetup, setup);
    QFETCH(QSize, size);
    MeterFixture f(setup, size);
    const QImage image = f.grab();
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    const QString path = referencePath(QString::fromLatin1(QTest::currentDataTag()));
    if (qEnvironmentVariableIsSet("BRISORA_UPDATE_REFERENCES")) {
        QVERIFY(image.save(path));
        QSKIP("reference written");
    }
    const QImage reference(path);
    QVERIFY2(!reference.isNull(), qPrintable(QStringLiteral("missing reference %1").arg(path)));
    QCOMPARE(reference.size(), size);
    const double share = differentShare(image, reference);
    if (share > kMaxDifferentShare)
        image.save(QDir::temp().filePath(QFileInfo(path).fileName()));
    QVERIFY2(share <= kMaxDifferentShare,
             qPrintable(QStringLiteral("%1% of the pixels differ (picture saved in %2)")
                            .arg(share * 100.0)
                            .arg(QDir::tempPath())));
}

// A value update copies the readout box over the face from kept pixels where the painter
// allows; drawing it anew (a clipped painter) must give exactly the same pixels.
void TestLumRender::keptPicturesMatchDrawingAnew() {
    QFETCH(MeterSetup, setup);
    QFETCH(QSize, size);
    MeterFixture f(setup, size);
    QVERIFY(!f.grab().isNull());
    const auto render = [&f](bool clipped) {
        QImage image(lum::LbGetPlotWindow(f.plot)->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        if (clipped)
            painter.setClipRect(image.rect());
        // The second time from the kept pixels; the third with other digits of the same width.
        std::array<double, 5> values = f.setup.values;
        for (int i = 0; i < 3; ++i) {
            if (i == 2) {
                for (double& v : values)
                    v += v < 5.0 ? 1.1 : -1.1;
                f.update(values);
            }
            lum::diag::renderPlot(f.plot, painter);
        }
        f.update(f.setup.values);
        return image;
    };
    QCOMPARE(render(false), render(true));
}

QTEST_MAIN(TestLumRender)
#include "tst_lum_render.moc"

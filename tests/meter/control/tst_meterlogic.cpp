// Window-free decisions of the meter: draw requests, timer intervals, simulated values.
#include "DrawRequestPolicy.h"
#include "MeterTimerMath.h"
#include "PropertyTable.h"
#include "WidgetSurface.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace gaugekit;

Q_DECLARE_METATYPE(gaugekit::DrawAction)

class TestMeterLogic : public QObject {
    Q_OBJECT
private slots:
    void drawRequest_data();
    void drawRequest();
    void timerInterval_data();
    void timerInterval();
    void simulation_data();
    void simulation();
    void simulationOfASpanBeyondTheLargestDouble();
    void channelsUsedStayWithinFive_data();
    void channelsUsedStayWithinFive();
    void widgetPropertyNames_data();
    void widgetPropertyNames();
    void colorReferences_data();
    void colorReferences();
};

void TestMeterLogic::drawRequest_data() {
    QTest::addColumn<bool>("firstDraw");
    QTest::addColumn<bool>("hasDrawingWindow");
    QTest::addColumn<bool>("bigEnough");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QRect>("invalid");
    QTest::addColumn<DrawAction>("expected");

    const QRect full(0, 0, 200, 200);
    QTest::newRow("first draw") << true << false << false << full << full << DrawAction::FirstDraw;
    QTest::newRow("first draw again after foreign rendering")
        << true << true << true << full << full << DrawAction::FirstDraw;
    QTest::newRow("no window after first draw")
        << false << false << true << full << full << DrawAction::None;
    QTest::newRow("same size redraws")
        << false << true << true << full << full << DrawAction::Redraw;
    QTest::newRow("one pixel wider only redraws")
        << false << true << true << QRect(0, 0, 201, 200) << full << DrawAction::Redraw;
    QTest::newRow("one pixel shorter only redraws")
        << false << true << true << QRect(0, 0, 200, 199) << full << DrawAction::Redraw;
    QTest::newRow("two pixels wider recreates")
        << false << true << true << QRect(0, 0, 202, 200) << full << DrawAction::Recreate;
    QTest::newRow("two pixels shorter recreates")
        << false << true << true << QRect(0, 0, 200, 198) << full << DrawAction::Recreate;
    QTest::newRow("same size at a left edge recreates")
        << false << true << true << QRect(10, 0, 200, 200) << full << DrawAction::Recreate;
    QTest::newRow("too small never redraws")
        << false << true << false << full << full << DrawAction::None;
    QTest::newRow("one pixel off with nothing invalid")
        << false << true << true << QRect(0, 0, 201, 200) << QRect() << DrawAction::None;
}

void TestMeterLogic::drawRequest() {
    QFETCH(bool, firstDraw);
    QFETCH(bool, hasDrawingWindow);
    QFETCH(bool, bigEnough);
    QFETCH(QRect, bounds);
    QFETCH(QRect, invalid);
    QFETCH(DrawAction, expected);

    DrawState state;
    state.firstDraw = firstDraw;
    state.hasDrawingWindow = hasDrawingWindow;
    state.remembered = QSize(200, 200);
    state.bigEnough = bigEnough;
    state.controlHasWindow = true;
    QCOMPARE(DrawRequestPolicy::decide(state, bounds, invalid), expected);
}

void TestMeterLogic::timerInterval_data() {
    QTest::addColumn<double>("frequency");
    QTest::addColumn<int>("expectedMs"); // -1: the timer does not run
    QTest::newRow("1 Hz") << 1.0 << 1000;
    QTest::newRow("half a hertz") << 0.5 << 2000;
    QTest::newRow("sign ignored") << -2.0 << 500;
    QTest::newRow("20 Hz") << 20.0 << 50;
    QTest::newRow("0.01 Hz") << 0.01 << 100000;
    QTest::newRow("fraction dropped") << 3.0 << 333;
    // The whole-millisecond part, never rounded: periods ending in a half or more.
    QTest::newRow("1.5 Hz is 666, not 667") << 1.5 << 666;
    QTest::newRow("6 Hz is 166") << 6.0 << 166;
    QTest::newRow("0.7 Hz is 1428") << 0.7 << 1428;
    QTest::newRow("0.3 Hz is 3333") << 0.3 << 3333;
    QTest::newRow("zero has no interval") << 0.0 << -1;
    QTest::newRow("not a number") << std::nan("") << -1;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << -1;
    QTest::newRow("minus infinite") << -std::numeric_limits<double>::infinity() << -1;
    QTest::newRow("too fast for a window timer") << 5000.0 << MeterTimerMath::kMinimumIntervalMs;
    QTest::newRow("too slow for a window timer") << 1e-9 << MeterTimerMath::kMaximumIntervalMs;
}

void TestMeterLogic::timerInterval() {
    QFETCH(double, frequency);
    QFETCH(int, expectedMs);
    QCOMPARE(MeterTimerMath::intervalMs(frequency).value_or(-1), expectedMs);
}

void TestMeterLogic::simulation_data() {
    QTest::addColumn<double>("scaleMin");
    QTest::addColumn<double>("scaleMax");
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::newRow("0..10") << 0.0 << 10.0 << 4.0 << 6.0;
    QTest::newRow("90..110") << 90.0 << 110.0 << 98.0 << 102.0;
    QTest::newRow("reversed scale") << 10.0 << 0.0 << 4.0 << 6.0;
    QTest::newRow("empty scale") << 5.0 << 5.0 << 5.0 << 5.0;
}

// The span of -1e308..1e308 overflows a double: the simulated values once pinned at 1e308.
void TestMeterLogic::simulationOfASpanBeyondTheLargestDouble() {
    MeterSettings s = PropertyTable::defaults();
    s.meterScaleMin = -1e308;
    s.meterScaleMax = 1e308;
    for (int r : {0, 16384, 32767}) {
        const double v = MeterTimerMath::simulate(s, [r] { return r; })[0];
        QVERIFY2(std::isfinite(v) && std::abs(v) <= 0.2000001e308, qPrintable(QString::number(v)));
    }
    QVERIFY(std::abs(MeterTimerMath::simulate(s, [] { return 16384; })[0]) < 1e304);
}

void TestMeterLogic::simulation() {
    QFETCH(double, scaleMin);
    QFETCH(double, scaleMax);
    QFETCH(double, lo);
    QFETCH(double, hi);
    MeterSettings s = PropertyTable::defaults();
    s.meterScaleMin = scaleMin;
    s.meterScaleMax = scaleMax;
    s.meterNumChannels = 3;
    // The extremes of the generator and its middle.
    for (int r : {0, 16384, 32767}) {
        const auto values = MeterTimerMath::simulate(s, [r] { return r; });
        for (int ch = 0; ch < 3; ++ch) {
            QVERIFY2(values[ch] >= lo - 1e-12 && values[ch] <= hi + 1e-12,
                     qPrintable(QString::number(values[ch])));
        }
        QCOMPARE(values[3], 0.0);
    }
    QCOMPARE(MeterTimerMath::simulate(s, [] { return 0; })[0], lo);
    QCOMPARE(MeterTimerMath::simulate(s, [] { return 32767; })[0], hi);
}

void TestMeterLogic::channelsUsedStayWithinFive_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("used");
    QTest::newRow("negative") << -3 << 1;
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("three") << 3 << 3;
    QTest::newRow("six") << 6 << 5;
    QTest::newRow("huge") << 1000000 << 5;
}

void TestMeterLogic::channelsUsedStayWithinFive() {
    QFETCH(int, stored);
    QFETCH(int, used);
    MeterSettings s = PropertyTable::defaults();
    s.meterNumChannels = stored;
    QCOMPARE(s.usableChannels(), used);
    int draws = 0;
    MeterTimerMath::simulate(s, [&draws] {
        ++draws;
        return 0;
    });
    QCOMPARE(draws, used);
}

void TestMeterLogic::widgetPropertyNames_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("widget");
    QTest::newRow("Meter dropped") << "MeterScaleMin"
                                   << "scaleMin";
    QTest::newRow("Meter dropped, rest kept") << "MeterHighAlarmStart"
                                              << "highAlarmStart";
    QTest::newRow("no Meter prefix") << "EnableInternalTimer"
                                     << "enableInternalTimer";
    QTest::newRow("Window kept") << "WindowBorderColor"
                                 << "windowBorderColor";
    QTest::newRow("single letter first") << "SDataSimulationMode"
                                         << "sDataSimulationMode";
    QTest::newRow("Meter alone is not dropped") << "Meter"
                                                << "meter";
    QTest::newRow("indexed") << "MeterChannelTagName"
                             << "channelTagName";
}

void TestMeterLogic::widgetPropertyNames() {
    QFETCH(QString, control);
    QFETCH(QString, widget);
    QCOMPARE(WidgetSurface::propertyName(control), widget);
}

void TestMeterLogic::colorReferences_data() {
    QTest::addColumn<qint32>("ref");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<qint32>("back");
    QTest::newRow("blue green red order")
        << qint32(0x00336699) << QColor(0x99, 0x66, 0x33) << qint32(0x00336699);
    QTest::newRow("white") << qint32(0x00FFFFFF) << QColor(Qt::white) << qint32(0x00FFFFFF);
    QTest::newRow("top byte is no colour")
        << qint32(0x80000005) << QColor(5, 0, 0) << qint32(0x00000005);
}

void TestMeterLogic::colorReferences() {
    QFETCH(qint32, ref);
    QFETCH(QColor, color);
    QFETCH(qint32, back);
    QCOMPARE(WidgetSurface::toColor(ref), color);
    QCOMPARE(WidgetSurface::toColorRef(WidgetSurface::toColor(ref)), back);
    // Alpha is not part of a colour reference; an invalid colour is black; any spec is read
    // as RGB.
    QColor translucent = color;
    translucent.setAlpha(10);
    QCOMPARE(WidgetSurface::toColorRef(translucent), back);
    QCOMPARE(WidgetSurface::toColorRef(QColor()), 0);
    QCOMPARE(WidgetSurface::toColorRef(QColor::fromHsv(0, 255, 255)), 0x0000FF);
}

QTEST_APPLESS_MAIN(TestMeterLogic)
#include "tst_meterlogic.moc"

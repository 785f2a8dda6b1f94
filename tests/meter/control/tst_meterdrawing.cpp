// The meter on screen: draw requests, rebuilds, value updates, alarms, the internal timer,
// the live meters and the current one.
#include "GaugeKitIds.h"
#include "GaugeKitModule.h"
#include "MeterFixture.h"
#include "MeterTimerMath.h"

#include <ImageCompare.h>
#include <com/ControlSite.h>
#include <lum/LumBase.h>
#include <lum/LumDiagnostics.h>
#include <lum/LumRun.h>

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace gaugekit;

using fixture::Hosted;

class TestMeterDrawing : public QObject {
    Q_OBJECT
private slots:
    void firstDrawFiresDrawReadyOnce();
    void resizing_data();
    void resizing();
    void tooSmallMeterIsNotBuilt();
    void updateMeterRestoresTheInitialValue();
    void rebuildsBeforeAPaintDoNotStackPlots();
    void valuesReachTheNeedles();
    void alarmsReachOnlyTheirMeter();
    void timerIntervalFollowsFrequency_data();
    void timerIntervalFollowsFrequency();
    void timerTickFiresOrSimulates();
    void liveMetersAndCurrentMeter();
    void reactivatedMeterDrawsAgain();
    void printingANeverShownMeter();
};

void TestMeterDrawing::firstDrawFiresDrawReadyOnce() {
    Hosted h;
    // The stored units switch is kept, but the drawing shows units exactly when there are some.
    QVERIFY(com::succeeded(h.site.setProperty(dispid::MeterUnitsStringEnable, true)));
    QVERIFY(!h.meter->hasDrawn());
    h.paint();
    QVERIFY(!h.meter->model().settings.meterUnitsStringEnable);
    QVERIFY(h.meter->store().meterUnitsStringEnable);
    QVERIFY(h.meter->hasDrawn());
    QCOMPARE(h.eventCount(eventid::DrawReady), 1);
    QVERIFY(h.meter->drawingWindow());
    QVERIFY(lum::LbIsValidPlot(h.meter->model().plot()));
    QCOMPARE(lum::diag::meterCount(h.meter->model().plot()), 1);
    h.paint();
    QCOMPARE(h.eventCount(eventid::DrawReady), 1);
}

void TestMeterDrawing::resizing_data() {
    QTest::addColumn<QSize>("newSize");
    QTest::addColumn<bool>("recreated");
    QTest::newRow("same size") << QSize(200, 200) << false;
    QTest::newRow("one pixel wider") << QSize(201, 200) << false;
    QTest::newRow("one pixel lower") << QSize(200, 199) << false;
    QTest::newRow("two pixels wider") << QSize(202, 200) << true;
    QTest::newRow("much smaller") << QSize(100, 80) << true;
}

void TestMeterDrawing::resizing() {
    QFETCH(QSize, newSize);
    QFETCH(bool, recreated);
    Hosted h;
    h.paint();
    const quint64 before = h.page();
    h.site.resize(newSize);
    h.paint();
    QCOMPARE(h.page() != before, recreated);
    QCOMPARE(h.eventCount(eventid::DrawReady), 1);
    QVERIFY(lum::LbIsValidPlot(h.meter->model().plot()));
}

void TestMeterDrawing::tooSmallMeterIsNotBuilt() {
    Hosted h(QSize(49, 120));
    h.paint();
    QVERIFY(h.meter->hasDrawn());
    QVERIFY(!h.meter->pageSite().bigEnough());
    QVERIFY(!lum::LbIsValidPlot(h.meter->model().plot()));
    // Neither a rebuild nor new values build anything on the small page.
    h.meter->updateMeter();
    double v = 5;
    QCOMPARE(h.meter->updateDynData(&v, 1), com::S_OK);
    h.paint();
    QVERIFY(!lum::LbIsValidPlot(h.meter->model().plot()));
    // Wider by more than a pixel: the meter appears.
    h.site.resize(60, 120);
    h.paint();
    QVERIFY(h.meter->pageSite().bigEnough());
    QCOMPARE(lum::diag::meterCount(h.meter->model().plot()), 1);
}

void TestMeterDrawing::updateMeterRestoresTheInitialValue() {
    Hosted h;
    QVERIFY(com::succeeded(h.site.setProperty(dispid::MeterInitialValue, 3.0)));
    h.paint();
    double values[] = {6.5};
    QCOMPARE(h.site.callMethod(dispid::UpdateDynData, {com::Variant::r8Ref(values, 1)}), com::S_OK);
    QCOMPARE(h.meter->model().values[0], 6.5);
    // A property change shows only after the rebuild.
    QVERIFY(com::succeeded(h.site.setProperty(dispid::MeterType, std::int32_t(3))));
    QCOMPARE(lum::diag::meterCount(h.meter->model().plot()), 1);
    QCOMPARE(h.site.callMethod(dispid::UpdateMeter), com::S_OK);
    h.paint();
    QCOMPARE(h.meter->model().values[0], 3.0);
    QCOMPARE(lum::diag::meterCount(h.meter->model().plot()), 0);
}

void TestMeterDrawing::rebuildsBeforeAPaintDoNotStackPlots() {
    Hosted h;
    h.paint();
    const auto built = h.meter->pageSite().plot();
    h.meter->updateMeter();
    const auto waiting = h.meter->pageSite().plot();
    h.meter->updateMeter();
    QVERIFY(!lum::LbIsValidPlot(built));
    QVERIFY(!lum::LbIsValidPlot(waiting));
    h.paint();
    QCOMPARE(h.meter->model().plot(), h.meter->pageSite().plot());
    QCOMPARE(lum::diag::meterCount(h.meter->model().plot()), 1);
}

void TestMeterDrawing::valuesReachTheNeedles() {
    Hosted h;
    QVERIFY(com::succeeded(h.site.setProperty(dispid::MeterNumChannels, std::int32_t(8))));
    h.paint();
    const auto pv = h.meter->model().processVar();
    // Eight channels stored, five used; the caller's array holds only three.
    double values[] = {2.0, 4.0, 6.0};
    QCOMPARE(h.site.callMethod(dispid::UpdateDynData, {com::Variant::r8Ref(values, 3)}), com::S_OK);
    QCOMPARE(lum::LrGetProcessVarValue(pv, 2), 6.0);
    QCOMPARE(lum::LrGetProcessVarValue(pv, 3), 1.0); // still the initial value
    // Several values stored quietly, the last one shown with them.
    QCOMPARE(h.site.callMethod(dispid::UpdateDataValue, {std::int32_t(0), 7.0, false}), com::S_OK);
    QCOMPARE(lum::LrGetProcessVarValue(pv, 0), 2.0);
    QCOMPARE(h.site.callMethod(dispid::UpdateDataValue, {std::int32_t(4), 8.0, true}), com::S_OK);
    QCOMPARE(lum::LrGetProcessVarValue(pv, 0), 7.0);
    QCOMPARE(lum::LrGetProcessVarValue(pv, 4), 8.0);
}

void TestMeterDrawing::alarmsReachOnlyTheirMeter() {
    Hosted a;
    Hosted b;
    a.paint();
    b.paint();
    double high[] = {9.5};
    QCOMPARE(a.site.callMethod(dispid::UpdateDynData, {com::Variant::r8Ref(high, 1)}), com::S_OK);
    QCOMPARE(a.eventCount(eventid::OnAlarmEvent), 1);
    QCOMPARE(b.eventCount(eventid::OnAlarmEvent), 0);
    const auto& args = a.events->last().at(1).value<com::VariantList>();
    QCOMPARE(args.size(), 4);
    QCOMPARE(args.at(0), com::Variant(std::int32_t(0)));
    QCOMPARE(args.at(1), com::Variant(std::int32_t(1)));
    QCOMPARE(args.at(2), com::Variant(9.5));
    QCOMPARE(args.at(3), com::Variant(true));
}

void TestMeterDrawing::timerIntervalFollowsFrequency_data() {
    QTest::addColumn<double>("frequency");
    QTest::addColumn<int>("interval");
    QTest::newRow("0.5 Hz") << 0.5 << 2000;
    QTest::newRow("-2 Hz") << -2.0 << 500;
    QTest::newRow("20 Hz") << 20.0 << 50;
    QTest::newRow("0.01 Hz") << 0.01 << 100000;
    QTest::newRow("1.5 Hz drops the two thirds") << 1.5 << 666;
    QTest::newRow("0 Hz stays stopped") << 0.0 << -1;
    QTest::newRow("infinite stays stopped") << std::numeric_limits<double>::infinity() << -1;
}

void TestMeterDrawing::timerIntervalFollowsFrequency() {
    QFETCH(double, frequency);
    QFETCH(int, interval);
    Hosted h;
    QVERIFY(com::succeeded(h.site.setProperty(dispid::EnableInternalTimer, true)));
    QVERIFY(com::succeeded(h.site.setProperty(dispid::TimerFrequency, frequency)));
    // Changing the settings alone does not start the timer.
    QVERIFY(!h.meter->isTimerActive(MeterTimerMath::kTimerId));
    QVERIFY(com::succeeded(h.site.callMethod(dispid::UpdateMeter)));
    QCOMPARE(h.meter->timerInterval(MeterTimerMath::kTimerId), interval);
    QVERIFY(com::succeeded(h.site.setProperty(dispid::EnableInternalTimer, false)));
    QVERIFY(com::succeeded(h.site.callMethod(dispid::UpdateGraph)));
    QVERIFY(!h.meter->isTimerActive(MeterTimerMath::kTimerId));
}

void TestMeterDrawing::timerTickFiresOrSimulates() {
    Hosted h;
    QVERIFY(com::succeeded(h.site.setProperty(dispid::MeterScaleMin, 90.0)));
    QVERIFY(com::succeeded(h.site.setProperty(dispid::MeterScaleMax, 110.0)));
    QVERIFY(com::succeeded(h.site.setProperty(dispid::MeterNumChannels, std::int32_t(3))));
    QVERIFY(com::succeeded(h.site.callMethod(dispid::UpdateMeter)));
    h.paint();
    h.meter->deliverTimer(MeterTimerMath::kTimerId);
    QCOMPARE(h.eventCount(eventid::OnInternalTimer), 1);

    QVERIFY(com::succeeded(h.site.setProperty(dispid::SDataSimulationMode, true)));
    for (int tick = 0; tick < 20; ++tick) {
        h.meter->deliverTimer(MeterTimerMath::kTimerId);
        for (int ch = 0; ch < 3; ++ch) {
            const double v = lum::LrGetProcessVarValue(h.meter->model().processVar(), ch);
            QVERIFY2(v >= 98.0 && v <= 102.0, qPrintable(QString::number(v)));
        }
    }
    QCOMPARE(h.eventCount(eventid::OnInternalTimer), 1);
}

void TestMeterDrawing::liveMetersAndCurrentMeter() {
    GaugeKitModule& module = GaugeKitModule::instance();
    const qsizetype before = module.liveControls().size();
    auto a = std::make_unique<Hosted>();
    auto b = std::make_unique<Hosted>();
    QCOMPARE(module.liveControls().size(), before + 2);
    QCOMPARE(module.liveControls().last(), b->meter);
    QCOMPARE(module.current(), b->meter);
    // A click on the drawing reaches the control window and makes the meter current.
    a->paint();
    QTest::mouseClick(a->meter->drawingWindow(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(module.current(), a->meter);
    QVERIFY(a->eventCount(com::DISPID_CLICK) >= 1);
    a.reset();
    QCOMPARE(module.liveControls().size(), before + 1);
    QCOMPARE(module.current(), b->meter);
    b.reset();
    QCOMPARE(module.liveControls().size(), before);
}

void TestMeterDrawing::reactivatedMeterDrawsAgain() {
    Hosted h;
    h.paint();
    QCOMPARE(h.meter->Close(), com::S_OK);
    QVERIFY(!h.meter->drawingWindow());
    QCOMPARE(h.meter->Activate(&h.site, QRect(0, 0, 200, 200)), com::S_OK);
    h.paint();
    QVERIFY(h.meter->drawingWindow());
    QCOMPARE(lum::diag::meterCount(h.meter->model().plot()), 1);
}

void TestMeterDrawing::printingANeverShownMeter() {
    fixture::Meter m;
    m.put(dispid::WindowBackgroundColor, std::int32_t(0xFFFFFF));
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QCOMPARE(m->Draw(&painter, QRect(0, 0, 200, 200)), com::S_OK);
    }
    // The scale, ticks and needle are there: dark pixels on the white face.
    const int dark = testsupport::darkPixels(image);
    QVERIFY2(dark > 200, qPrintable(QString::number(dark)));
    QVERIFY(!m->hasDrawn());
}

QTEST_MAIN(TestMeterDrawing)
#include "tst_meterdrawing.moc"

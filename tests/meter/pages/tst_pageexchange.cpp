// The Appearance, Scale, Alarms and Timer pages against a meter: what each field, list, arrow
// and chooser stores, what goes back unchanged, and the Timer page's hold of the timer.
#include "PageFixture.h"

#include "CMAlrmPPg.h"
#include "CMLookPPg.h"
#include "CMScalPPg.h"
#include "CTimerPPg.h"
#include "GaugeKitIds.h"
#include "MeterFixture.h"
#include "MeterTimerMath.h"
#include "UpDownControl.h"

#include <com/ControlSite.h>

#include <QCheckBox>
#include <QTest>

using namespace gaugekit;
using namespace gaugekit::pages;
using namespace pagefixture;

namespace {

// A meter in a site that has drawn once, its internal timer on at 1 Hz.
class DrawnMeter : public fixture::Hosted {
public:
    DrawnMeter() {
        QVERIFY(com::succeeded(site.setProperty(dispid::EnableInternalTimer, com::Variant(true))));
        paint();
        QVERIFY(com::succeeded(site.callMethod(dispid::UpdateMeter)));
    }
    bool ticking() const { return meter->isTimerActive(MeterTimerMath::kTimerId); }
};

} // namespace

class TestPageExchange : public QObject {
    Q_OBJECT
private slots:
    void channelArrows_data();
    void channelArrows();
    void channelColorEditsOneEntry();
    void appearanceValuesGoBackAsTheyCame();
    void tickPositionList_data();
    void tickPositionList();
    void positionsWithoutEntryGoBackUnchanged();
    void scaleFontAndReversedRange();
    void alarmRangesAndSwitch();
    void alarmColorThenCancel();
    void timerFrequency_data();
    void timerFrequency();
    void timerShowsTheStoredValue();
    void timerIsHeldWhileThePageIsShown();
    void tickingTheTimerStartsItAtOnce();
};

void TestPageExchange::channelArrows_data() {
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<int>("channel");
    QTest::newRow("none: the second channel") << QList<int>{} << 1;
    QTest::newRow("first Up") << QList<int>{+1} << 1;
    QTest::newRow("first Down") << QList<int>{-1} << 0;
    QTest::newRow("Up past 4") << QList<int>{+1, +1, +1, +1, +1, +1} << 4;
    QTest::newRow("Down past 0") << QList<int>{+1, -1, -1, -1} << 0;
}

void TestPageExchange::channelArrows() {
    QFETCH(QList<int>, steps);
    QFETCH(int, channel);
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    auto* page = static_cast<CMLookPPg*>(frame.open(Look));
    for (int step : steps)
        (step > 0 ? page->arrows()->upButton() : page->arrows()->downButton())->click();
    QCOMPARE(page->selectedChannel(), channel);
    QCOMPARE(page->arrows()->lower(), 0);
    QCOMPARE(page->arrows()->upper(), 4);
    QCOMPARE(frame.edit(Look, CMLookPPg::IDC_CHANNEL_NUMBER)->text(),
             QString::number(page->arrows()->position()));
}

void TestPageExchange::channelColorEditsOneEntry() {
    fixture::Meter meter;
    QList<std::int32_t> before;
    for (int i = 0; i < 5; ++i)
        before << meter.getAt(dispid::MeterChannelColor, i).i4Value();
    Choosers choosers;
    choosers.color = 0x010203;
    Frame frame({meter->unknown()});
    auto* page = static_cast<CMLookPPg*>(frame.open(Look));
    // Arrow keys in the number box step the arrows too.
    QTest::keyClick(frame.edit(Look, CMLookPPg::IDC_CHANNEL_NUMBER), Qt::Key_Up);
    QTest::keyClick(frame.edit(Look, CMLookPPg::IDC_CHANNEL_NUMBER), Qt::Key_Up);
    QTest::keyClick(frame.edit(Look, CMLookPPg::IDC_CHANNEL_NUMBER), Qt::Key_Up);
    QCOMPARE(page->selectedChannel(), 3);
    frame.click(Look, CMLookPPg::IDC_CHANNEL_COLOR);
    QCOMPARE(choosers.colorRequests, QList<quint32>{quint32(before[3])});
    frame.apply();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(meter.getAt(dispid::MeterChannelColor, i).i4Value(),
                 i == 3 ? 0x010203 : before[i]);
}

void TestPageExchange::appearanceValuesGoBackAsTheyCame() {
    fixture::Meter meter;
    meter.putAt(dispid::MeterChannelTagName, 2, com::Variant(QStringLiteral("Pressure")));
    meter.put(dispid::MeterType, com::Variant(std::int32_t(5)));
    Frame frame({meter->unknown()});
    QCOMPARE(frame.combo(Look, CMLookPPg::IDC_TYPE)->currentIndex(), -1);
    frame.type(Look, CMLookPPg::IDC_CHANNELS, QStringLiteral("7"));
    frame.pick(Look, CMLookPPg::IDC_NEEDLE, 1);
    frame.apply();
    QCOMPARE(meter.get(dispid::MeterNumChannels).i4Value(), 7);
    QCOMPARE(meter.get(dispid::MeterNeedleStyle).i4Value(), 1);
    QCOMPARE(meter.get(dispid::MeterType).i4Value(), 5);
    QCOMPARE(meter.getAt(dispid::MeterChannelTagName, 2).stringValue(), QStringLiteral("Pressure"));
}

void TestPageExchange::tickPositionList_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("position");
    QTest::newRow("Inside") << 0 << 0;
    QTest::newRow("Outside") << 1 << 4;
    QTest::newRow("Middle") << 2 << 3;
    QTest::newRow("empty fourth entry") << 3 << 0;
}

void TestPageExchange::tickPositionList() {
    QFETCH(int, entry);
    QFETCH(int, position);
    fixture::Meter meter;
    meter.put(dispid::MeterTickPosition, com::Variant(std::int32_t(3)));
    Frame frame({meter->unknown()});
    frame.pick(Scale, CMScalPPg::IDC_TICK_POSITION, entry);
    frame.pick(Scale, CMScalPPg::IDC_LABELS_POSITION, entry == 1 ? 1 : 0);
    frame.apply();
    QCOMPARE(meter.get(dispid::MeterTickPosition).i4Value(), position);
    QCOMPARE(meter.get(dispid::MeterTickLabelsPosition).i4Value(), entry == 1 ? 4 : 0);
}

void TestPageExchange::positionsWithoutEntryGoBackUnchanged() {
    fixture::Meter meter;
    meter.put(dispid::MeterTickLabelsPosition, com::Variant(std::int32_t(3)));
    meter.put(dispid::MeterTickPosition, com::Variant(std::int32_t(1)));
    Frame frame({meter->unknown()});
    QCOMPARE(frame.combo(Scale, CMScalPPg::IDC_LABELS_POSITION)->currentIndex(), -1);
    QCOMPARE(frame.combo(Scale, CMScalPPg::IDC_TICK_POSITION)->currentText(),
             QStringLiteral("Inside"));
    frame.type(Scale, CMScalPPg::IDC_UNITS, QStringLiteral("kPa"));
    frame.apply();
    QCOMPARE(meter.get(dispid::MeterTickLabelsPosition).i4Value(), 3);
    QCOMPARE(meter.get(dispid::MeterTickPosition).i4Value(), 1);
    QCOMPARE(meter.get(dispid::MeterUnitsString).stringValue(), QStringLiteral("kPa"));
}

void TestPageExchange::scaleFontAndReversedRange() {
    fixture::Meter meter;
    Choosers choosers;
    choosers.font = forms::FontEffectsChoice{
        QStringLiteral("Liberation Sans"), 90, 700, true, false, false, 0x00FF00};
    Frame frame({meter->unknown()});
    frame.type(Scale, CMScalPPg::IDC_SCALE_FROM, QStringLiteral("50"));
    frame.type(Scale, CMScalPPg::IDC_SCALE_TO, QStringLiteral("-5.5"));
    frame.click(Scale, CMScalPPg::IDC_LABELS_FONT);
    QCOMPARE(choosers.fontRequests.first().name, QStringLiteral("Arial"));
    QCOMPARE(choosers.fontRequests.first().sizeTenths, 80);
    frame.apply();
    QCOMPARE(meter.get(dispid::MeterScaleMin).r8Value(), 50.0);
    QCOMPARE(meter.get(dispid::MeterScaleMax).r8Value(), -5.5);
    QCOMPARE(meter.get(dispid::MeterTickLabelsSize).i4Value(), 9);
    QCOMPARE(meter.get(dispid::MeterTickLabelsFontStyle).i4Value(), 3);
    QCOMPARE(meter.get(dispid::MeterTickLabelsColor).i4Value(), 0x00FF00);
    QCOMPARE(meter.get(dispid::MeterTickLabelsFont).stringValue(),
             QStringLiteral("Liberation Sans"));

    // Cancel keeps all four, also through a later Apply.
    choosers.font.reset();
    frame.click(Scale, CMScalPPg::IDC_LABELS_FONT);
    frame.apply();
    QCOMPARE(meter.get(dispid::MeterTickLabelsSize).i4Value(), 9);
    QCOMPARE(meter.get(dispid::MeterTickLabelsColor).i4Value(), 0x00FF00);
}

void TestPageExchange::alarmRangesAndSwitch() {
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    frame.open(Alarm);
    qobject_cast<QCheckBox*>(frame.field(Alarm, CMAlrmPPg::IDC_ARCS_ENABLE))->click();
    frame.type(Alarm, CMAlrmPPg::IDC_LOW_FROM, QStringLiteral("4"));
    frame.type(Alarm, CMAlrmPPg::IDC_LOW_TO, QStringLiteral("2"));
    frame.type(Alarm, CMAlrmPPg::IDC_HIGH_FROM, QStringLiteral("8.5"));
    frame.apply();
    QCOMPARE(meter.get(dispid::MeterAlarmArcsEnable).boolValue(), false);
    QCOMPARE(meter.get(dispid::MeterLowAlarmStart).r8Value(), 4.0);
    QCOMPARE(meter.get(dispid::MeterLowAlarmStop).r8Value(), 2.0);
    QCOMPARE(meter.get(dispid::MeterHighAlarmStart).r8Value(), 8.5);
    QCOMPARE(meter->model().settings.meterLowAlarmStart, 4.0);
}

void TestPageExchange::alarmColorThenCancel() {
    fixture::Meter meter;
    Choosers choosers;
    choosers.color = 0x0000FF;
    {
        Frame frame({meter->unknown()});
        frame.click(Alarm, CMAlrmPPg::IDC_HIGH_COLOR);
        frame.click(Alarm, CMAlrmPPg::IDC_NORMAL_COLOR);
        frame->cancelButton()->click();
    }
    QCOMPARE(meter.get(dispid::MeterHighAlarmColor).i4Value(), 0x000080);
    QCOMPARE(meter.get(dispid::MeterNormalAlarmColor).i4Value(), 0x008000);
}

// After Apply the box once kept what was typed ("50" with 20 stored).
void TestPageExchange::timerFrequency_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("50 is 20") << "50" << 20.0 << "20.0";
    QTest::newRow("0.001 is 0.01") << "0.001" << 0.01 << "0.01";
    QTest::newRow("letters are 0.01") << "fast" << 0.01 << "0.01";
    QTest::newRow("with a unit") << "2.5 Hz" << 2.5 << "2.5";
    QTest::newRow("negative") << "-3" << 0.01 << "0.01";
    QTest::newRow("whole") << "4" << 4.0 << "4.0";
}

void TestPageExchange::timerFrequency() {
    QFETCH(QString, text);
    QFETCH(double, stored);
    QFETCH(QString, shown);
    fixture::Meter meter;
    Frame frame({meter->unknown()});
    frame.open(Timer);
    frame.type(Timer, CTimerPPg::IDC_FREQUENCY, text);
    frame.apply();
    QCOMPARE(meter.get(dispid::TimerFrequency).r8Value(), stored);
    QCOMPARE(frame.combo(Timer, CTimerPPg::IDC_FREQUENCY)->currentText(), shown);
}

// 0.01 Hz showed as "0.0", and 1.46 as "1.5", which the next Apply stored.
void TestPageExchange::timerShowsTheStoredValue() {
    fixture::Meter meter;
    meter.put(dispid::TimerFrequency, com::Variant(1.46));
    Frame frame({meter->unknown()});
    frame.open(Timer);
    QCOMPARE(frame.combo(Timer, CTimerPPg::IDC_FREQUENCY)->currentText(), QStringLiteral("1.46"));
    auto* simulation = qobject_cast<QCheckBox*>(frame.field(Timer, CTimerPPg::IDC_SIMULATION));
    simulation->click();
    simulation->click();
    frame.apply();
    QCOMPARE(meter.get(dispid::TimerFrequency).r8Value(), 1.46);
    frame.pick(Timer, CTimerPPg::IDC_FREQUENCY, 4);
    QCOMPARE(frame.combo(Timer, CTimerPPg::IDC_FREQUENCY)->currentText(), QString());
    frame.apply();
    QCOMPARE(meter.get(dispid::TimerFrequency).r8Value(), 0.01);
    QCOMPARE(frame.combo(Timer, CTimerPPg::IDC_FREQUENCY)->currentText(), QStringLiteral("0.01"));
}

void TestPageExchange::timerIsHeldWhileThePageIsShown() {
    DrawnMeter m;
    QVERIFY(m.meter->hasDrawn());
    QVERIFY(m.ticking());
    Frame frame({m.meter->unknown()});
    QVERIFY(m.ticking());
    frame.open(Timer);
    QVERIFY(!m.ticking());
    frame.open(Scale);
    QVERIFY(m.ticking());
    frame.open(Timer); // showing it again does not stop the timer
    QVERIFY(m.ticking());
}

void TestPageExchange::tickingTheTimerStartsItAtOnce() {
    DrawnMeter m;
    QVERIFY(com::succeeded(m.site.setProperty(dispid::EnableInternalTimer, com::Variant(false))));
    QVERIFY(com::succeeded(m.site.callMethod(dispid::UpdateMeter)));
    QVERIFY(!m.ticking());
    {
        Frame frame({m.meter->unknown()});
        frame.open(Timer);
        qobject_cast<QCheckBox*>(frame.field(Timer, CTimerPPg::IDC_USE_TIMER))->click();
        frame.type(Timer, CTimerPPg::IDC_FREQUENCY, QStringLiteral("4"));
        frame.apply();
        QVERIFY(m.ticking());
        QCOMPARE(m.meter->timerInterval(MeterTimerMath::kTimerId), 250);
    }
    // Closed on the Timer page after the hold: the timer runs again.
    m.meter->stopTimer();
    {
        Frame frame({m.meter->unknown()});
        frame.open(Timer);
        QVERIFY(!m.ticking());
        frame->cancelButton()->click();
    }
    QVERIFY(m.ticking());
}

QTEST_MAIN(TestPageExchange)
#include "tst_pageexchange.moc"

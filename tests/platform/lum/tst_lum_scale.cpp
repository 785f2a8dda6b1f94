// Scale mapping, ticks, labels and channel alarm states: the widget-free parts of lum.
#include "lum/AlarmLevels.h"
#include "lum/LumBase.h"
#include "lum/ScaleMap.h"
#include "lum/ScaleTicks.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace lum;

Q_DECLARE_METATYPE(QList<double>)

class TestLumScale : public QObject {
    Q_OBJECT

private slots:
    void angleOfValue_data();
    void angleOfValue();
    void pointAtDirections_data();
    void pointAtDirections();
    void ticks_data();
    void ticks();
    void labels_data();
    void labels();
    void crowdedLabelsThinOut_data();
    void crowdedLabelsThinOut();
    void alarmChanges_data();
    void alarmChanges();
    void alarmUpdateTakesAtMostChannelCount();
    void paletteAndColorref();
};

void TestLumScale::angleOfValue_data() {
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("stop");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("angle");
    QTest::newRow("half gauge min") << 0.0 << 10.0 << 0 << 180 << 0.0 << 180.0;
    QTest::newRow("half gauge middle") << 0.0 << 10.0 << 0 << 180 << 5.0 << 90.0;
    QTest::newRow("half gauge max") << 0.0 << 10.0 << 0 << 180 << 10.0 << 0.0;
    QTest::newRow("below min pins at start") << 0.0 << 10.0 << 0 << 180 << -3.0 << 180.0;
    QTest::newRow("above max pins at stop") << 0.0 << 10.0 << 0 << 180 << 12.0 << 0.0;
    QTest::newRow("order of the angles does not matter") << 0.0 << 10.0 << 180 << 0 << 2.5 << 135.0;
    QTest::newRow("top quarter min") << 0.0 << 100.0 << 135 << 45 << 0.0 << 135.0;
    QTest::newRow("top quarter max") << 0.0 << 100.0 << 135 << 45 << 100.0 << 45.0;
    QTest::newRow("reversed scale") << 10.0 << 0.0 << 0 << 180 << 2.5 << 45.0;
    QTest::newRow("reversed scale beyond") << 10.0 << 0.0 << 0 << 180 << 11.0 << 180.0;
    QTest::newRow("270 dial through the top") << 0.0 << 100.0 << -45 << 225 << 50.0 << 90.0;
    QTest::newRow("270 dial min lower left") << 0.0 << 100.0 << -45 << 225 << 0.0 << 225.0;
    QTest::newRow("angles past a turn") << 0.0 << 4.0 << 270 << 450 << 1.0 << 405.0;
    QTest::newRow("sweep limited to a turn") << 0.0 << 1.0 << 0 << 720 << 1.0 << 360.0;
    QTest::newRow("empty scale") << 5.0 << 5.0 << 0 << 180 << 7.0 << 180.0;
    QTest::newRow("NaN value") << 0.0 << 10.0 << 30 << 180
                               << std::numeric_limits<double>::quiet_NaN() << 180.0;
    // Limits whose difference overflows a double: the needle still moves along the scale.
    QTest::newRow("widest range middle") << -1e308 << 1e308 << 0 << 180 << 0.0 << 90.0;
    QTest::newRow("widest range quarter") << -1e308 << 1e308 << 0 << 180 << -5e307 << 135.0;
    QTest::newRow("widest range max") << -1e308 << 1e308 << 0 << 180 << 1e308 << 0.0;
    QTest::newRow("widest range infinite value")
        << -1e308 << 1e308 << 0 << 180 << std::numeric_limits<double>::infinity() << 0.0;
    QTest::newRow("widest range reversed") << 1e308 << -1e308 << 0 << 180 << 5e307 << 135.0;
    QTest::newRow("largest doubles")
        << -std::numeric_limits<double>::max() << std::numeric_limits<double>::max() << 0 << 180
        << 0.0 << 90.0;
    // A width too small to divide by behaves as an empty scale.
    QTest::newRow("subnormal width")
        << 0.0 << std::numeric_limits<double>::denorm_min() << 0 << 180 << 1.0 << 180.0;
    QTest::newRow("subnormal width infinite value")
        << 0.0 << 1e-310 << 0 << 180 << std::numeric_limits<double>::infinity() << 180.0;
}

void TestLumScale::angleOfValue() {
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, start);
    QFETCH(int, stop);
    QFETCH(double, value);
    QFETCH(double, angle);
    QCOMPARE(ScaleMap(min, max, start, stop).angleOf(value), angle);
}

void TestLumScale::pointAtDirections_data() {
    QTest::addColumn<double>("angle");
    QTest::addColumn<QPointF>("point");
    // Centre (100, 100), radius 10; screen y grows downwards.
    QTest::newRow("0 is right") << 0.0 << QPointF(110, 100);
    QTest::newRow("90 is up") << 90.0 << QPointF(100, 90);
    QTest::newRow("180 is left") << 180.0 << QPointF(90, 100);
    QTest::newRow("270 is down") << 270.0 << QPointF(100, 110);
    QTest::newRow("-90 is down") << -90.0 << QPointF(100, 110);
}

void TestLumScale::pointAtDirections() {
    QFETCH(double, angle);
    QFETCH(QPointF, point);
    const QPointF p = ScaleMap::pointAt(QPointF(100, 100), 10.0, angle);
    QVERIFY2(std::abs(p.x() - point.x()) < 1e-9 && std::abs(p.y() - point.y()) < 1e-9,
             qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
}

void TestLumScale::ticks_data() {
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QList<double>>("majors");
    QTest::addColumn<int>("minorCount");
    QTest::newRow("defaults") << 0.0 << 10.0 << 2.0 << 3 << QList<double>{0, 2, 4, 6, 8, 10} << 15;
    QTest::newRow("no minors") << 0.0 << 10.0 << 5.0 << 0 << QList<double>{0, 5, 10} << 0;
    QTest::newRow("max off the step keeps trailing minors")
        << 0.0 << 5.0 << 2.0 << 1 << QList<double>{0, 2, 4} << 3;
    QTest::newRow("reversed scale") << 10.0 << 0.0 << 5.0 << 0 << QList<double>{10, 5, 0} << 0;
    QTest::newRow("decimal steps reach the end")
        << 0.0 << 1.0 << 0.1 << 0
        << QList<double>{0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0} << 0;
    // 0.3 / 0.1 and 0.7 / 0.1 fall just short of 3 and 7 in binary.
    QTest::newRow("0 to 0.3 by 0.1 keeps its end")
        << 0.0 << 0.3 << 0.1 << 0 << QList<double>{0, 0.1, 0.2, 0.3} << 0;
    QTest::newRow("0 to 0.7 by 0.1 keeps its end")
        << 0.0 << 0.7 << 0.1 << 1 << QList<double>{0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7} << 7;
    QTest::newRow("negative range through zero")
        << -1.0 << 1.0 << 0.5 << 0 << QList<double>{-1, -0.5, 0, 0.5, 1} << 0;
    QTest::newRow("zero step gives the ends")
        << 0.0 << 10.0 << 0.0 << 3 << QList<double>{0, 10} << 0;
    QTest::newRow("negative step gives the ends")
        << 0.0 << 10.0 << -2.0 << 3 << QList<double>{0, 10} << 0;
    QTest::newRow("huge tick count gives the ends")
        << 0.0 << 1e9 << 1e-3 << 3 << QList<double>{0, 1e9} << 0;
    QTest::newRow("empty scale") << 3.0 << 3.0 << 1.0 << 3 << QList<double>{3} << 0;
}

void TestLumScale::ticks() {
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    QFETCH(int, minor);
    QFETCH(QList<double>, majors);
    QFETCH(int, minorCount);
    QList<double> gotMajors;
    int gotMinors = 0;
    for (const ScaleTick& t : ScaleTicks::compute(min, max, step, minor)) {
        if (t.major)
            gotMajors.append(t.value);
        else
            ++gotMinors;
    }
    QCOMPARE(gotMajors.size(), majors.size());
    for (qsizetype i = 0; i < majors.size(); ++i)
        QVERIFY2(std::abs(gotMajors[i] - majors[i]) < 1e-9,
                 qPrintable(QString::number(gotMajors[i])));
    QCOMPARE(gotMinors, minorCount);
}

void TestLumScale::labels_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << 4.0 << 0 << "4";
    QTest::newRow("rounded") << 2.46 << 1 << "2.5";
    QTest::newRow("padded") << 3.0 << 2 << "3.00";
    QTest::newRow("end of 0 to 0.3 by 0.1") << 0.1 * 3 << 1 << "0.3";
    QTest::newRow("end of 0 to 0.7 by 0.1") << 0.1 * 7 << 1 << "0.7";
    QTest::newRow("negative") << -1.5 << 1 << "-1.5";
    QTest::newRow("no negative zero") << -0.0001 << 1 << "0.0";
    QTest::newRow("negative precision clamps") << 7.6 << -3 << "8";
    QTest::newRow("huge precision clamps") << 1.0 << 99 << "1.0000000000";
    // 1e308 once printed its 309 digits across the plot.
    QTest::newRow("huge value in short form") << 1e308 << 1 << "1.0e+308";
    QTest::newRow("huge negative value") << -2.5e20 << 3 << "-2.500e+20";
    QTest::newRow("largest plain value") << 999999999999999.0 << 0 << "999999999999999";
}

void TestLumScale::labels() {
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QString, text);
    QCOMPARE(ScaleTicks::label(value, precision), text);
}

void TestLumScale::crowdedLabelsThinOut_data() {
    QTest::addColumn<double>("spacing"); // between the left edges of 10-pixel-wide boxes
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("wraps");
    QTest::addColumn<int>("stride");
    QTest::newRow("room for all") << 20.0 << 6 << false << 1;
    QTest::newRow("closer than the gap") << 11.0 << 6 << false << 2;
    QTest::newRow("keeps the last label") << 4.0 << 11 << false << 5;
    QTest::newRow("every third when the last cannot stay") << 4.0 << 8 << false << 3;
    QTest::newRow("wrapping scales take the smallest") << 4.0 << 11 << true << 3;
    QTest::newRow("one label") << 1.0 << 1 << false << 1;
    QTest::newRow("none") << 1.0 << 0 << false << 1;
    // Boxes on a ring of 4 where box 3 lands on box 0: every other one.
    QTest::newRow("wrapping last meets first") << -1.0 << 4 << true << 2;
}

void TestLumScale::crowdedLabelsThinOut() {
    QFETCH(double, spacing);
    QFETCH(int, count);
    QFETCH(bool, wraps);
    QFETCH(int, stride);
    QList<QRectF> boxes;
    for (int i = 0; i < count; ++i) {
        const double x = spacing < 0 ? (i == count - 1 ? 0.0 : 20.0 * i) : spacing * i;
        boxes.append(QRectF(x, 0, 10, 10));
    }
    QCOMPARE(ScaleTicks::labelStride(boxes, wraps), qsizetype(stride));
}

void TestLumScale::alarmChanges_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QList<int>>("codes");   // reported codes, in order
    QTest::addColumn<QList<bool>>("alarms"); // reported alarm flags
    // Limits: high 9, low 1; one channel.
    QTest::newRow("stays OK") << QList<double>{5, 6, 8.99} << QList<int>{} << QList<bool>{};
    QTest::newRow("enters high at the limit")
        << QList<double>{5, 9} << QList<int>{1} << QList<bool>{true};
    QTest::newRow("enters low at the limit")
        << QList<double>{5, 1} << QList<int>{2} << QList<bool>{true};
    QTest::newRow("high stays high without repeat")
        << QList<double>{9.5, 10, 9} << QList<int>{1} << QList<bool>{true};
    QTest::newRow("back to OK") << QList<double>{9.5, 5} << QList<int>{1, 0}
                                << QList<bool>{true, false};
    QTest::newRow("jump high to low")
        << QList<double>{9.5, 0.5} << QList<int>{1, 2} << QList<bool>{true, true};
    QTest::newRow("NaN counts as OK")
        << QList<double>{0.0, std::nan("")} << QList<int>{2, 0} << QList<bool>{true, false};
}

void TestLumScale::alarmChanges() {
    QFETCH(QList<double>, values);
    QFETCH(QList<int>, codes);
    QFETCH(QList<bool>, alarms);
    ChannelStates states(1);
    QVERIFY(states.levels().set(kAlarmHigh, 9.0, QStringLiteral("High Alarm")));
    QVERIFY(states.levels().set(kAlarmLow, 1.0, QStringLiteral("Low Alarm")));
    QVERIFY(states.levels().set(kAlarmOk, 0.0, QStringLiteral("OK")));
    QVERIFY(!states.levels().set(3, 0.0, QString()));
    QList<int> gotCodes;
    QList<bool> gotAlarms;
    for (double v : values) {
        for (const AlarmChange& c : states.update(std::span(&v, 1))) {
            QCOMPARE(c.channel, 0);
            gotCodes.append(c.code);
            gotAlarms.append(c.alarm);
        }
    }
    QCOMPARE(gotCodes, codes);
    QCOMPARE(gotAlarms, alarms);
}

void TestLumScale::alarmUpdateTakesAtMostChannelCount() {
    ChannelStates states(2);
    states.levels().set(kAlarmHigh, 9.0, QString());
    const double values[] = {9.5, 3.0, 9.9, 9.9, 9.9, 9.9, 9.9};
    const QList<AlarmChange> changes = states.update(values);
    QCOMPARE(changes, (QList<AlarmChange>{{0, kAlarmHigh, 9.5, true}}));
    QCOMPARE(states.value(1), 3.0);
    QCOMPARE(states.value(2), 0.0); // no such channel
    QCOMPARE(ChannelStates(0).channelCount(), 1);
    QCOMPARE(ChannelStates(9).channelCount(), kMaxChannels);
}

void TestLumScale::paletteAndColorref() {
    const Colorref expected[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(LbPaletteColor(i), expected[i]);
    QCOMPARE(LbPaletteColor(-1), Colorref(0));
    QCOMPARE(LbPaletteColor(16), Colorref(0));
    // 0x00BBGGRR: 0x000080 is dark red, 0x800000 dark blue.
    QCOMPARE(colorFromColorref(0x000080), QColor(128, 0, 0));
    QCOMPARE(colorFromColorref(0xFF800000), QColor(0, 0, 128));
    QCOMPARE(colorrefFromColor(QColor(1, 2, 3)), Colorref(0x030201));
    // Drawing takes 0..15 as palette indices, anything else as a colour reference.
    QCOMPARE(drawingColor(12), QColor(255, 0, 0));
    QCOMPARE(drawingColor(9), QColor(0, 0, 255));
    QCOMPARE(drawingColor(0), QColor(0, 0, 0));
    QCOMPARE(drawingColor(16), QColor(16, 0, 0));
    QCOMPARE(drawingColor(0x0000FF), QColor(255, 0, 0));
}

QTEST_APPLESS_MAIN(TestLumScale)
#include "tst_lum_scale.moc"

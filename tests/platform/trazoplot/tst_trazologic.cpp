// The chart's window-free logic: the sample store, axis arithmetic, the time window and the
// curve points.
#include "ChartSettings.h"
#include "ClassicPalette.h"
#include "CurveBuilder.h"
#include "SampleStore.h"
#include "ScaleMath.h"
#include "TimeWindow.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace trazoplot;

class TstTrazoLogic : public QObject {
    Q_OBJECT
private slots:
    void storeKeepsNewestAfterWrapping();
    void storeRangeMatchesScan_data();
    void storeRangeMatchesScan();
    void storeKeepsPeaksAndSkipsGaps();
    void ticksAndLabels_data();
    void ticksAndLabels();
    void hoursMinutes_data();
    void hoursMinutes();
    void linearScaleMapsEveryRange_data();
    void linearScaleMapsEveryRange();
    void timeWindowScrollsOnceFull_data();
    void timeWindowScrollsOnceFull();
    void bucketIsWholeGroups_data();
    void bucketIsWholeGroups();
    void curveKeepsEveryPeakInFewPoints();
    void curveBreaksAtGaps();
    void settingsRejectBadIndicesAndValues_data();
    void settingsRejectBadIndicesAndValues();
    void repairRestoresUnusableStoredValues();
    void paletteCodes();
};

void TstTrazoLogic::storeKeepsNewestAfterWrapping() {
    SampleStore s(5000); // rounded up to a whole level-2 block
    QCOMPARE(s.capacity(), SampleStore::kSuperBlock * 2);
    const std::int64_t total = s.capacity() * 3 + 17;
    for (std::int64_t i = 0; i < total; ++i)
        s.append(double(i));
    QCOMPARE(s.count(), total);
    QCOMPARE(s.firstKept(), total - s.capacity());
    QCOMPARE(s.at(total - 1), double(total - 1));
    QCOMPARE(s.at(s.firstKept()), double(s.firstKept()));
    QVERIFY(std::isnan(s.at(s.firstKept() - 1))); // dropped
    QVERIFY(std::isnan(s.at(total)));             // not yet there
    const MinMax all = s.range(0, total);
    QCOMPARE(all.min, double(s.firstKept()));
    QCOMPARE(all.max, double(total - 1));
}

void TstTrazoLogic::storeRangeMatchesScan_data() {
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::newRow("inside one block") << qint64(10000) << qint64(10030);
    QTest::newRow("across blocks") << qint64(10001) << qint64(10300);
    QTest::newRow("across level-2 blocks") << qint64(9000) << qint64(30001);
    QTest::newRow("aligned") << qint64(8192) << qint64(16384);
    QTest::newRow("touches the dropped part") << qint64(0) << qint64(20000);
    QTest::newRow("up to the newest") << qint64(29000) << qint64(40000);
    QTest::newRow("empty") << qint64(20000) << qint64(20000);
}

void TstTrazoLogic::storeRangeMatchesScan() {
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    SampleStore s(8192 * 2);
    const auto value = [](std::int64_t i) { return std::sin(double(i) * 0.37) * double(i % 977); };
    const std::int64_t total = 32777;
    for (std::int64_t i = 0; i < total; ++i)
        s.append(value(i));
    MinMax expected;
    for (std::int64_t i = std::max<std::int64_t>(from, s.firstKept());
         i < std::min<std::int64_t>(to, total); ++i)
        expected.add(value(i));
    const MinMax got = s.range(from, to);
    QCOMPARE(got.empty, expected.empty);
    QCOMPARE(got.min, expected.min);
    QCOMPARE(got.max, expected.max);
}

void TstTrazoLogic::storeKeepsPeaksAndSkipsGaps() {
    SampleStore s(100000);
    for (int i = 0; i < 50000; ++i)
        s.append(i == 31337 ? 500.0 : (i == 4242 ? -7.0 : 1.0));
    s.append(std::numeric_limits<double>::quiet_NaN());
    s.append(std::numeric_limits<double>::infinity());
    const MinMax mm = s.range(0, s.count());
    QCOMPARE(mm.max, 500.0);
    QCOMPARE(mm.min, -7.0);
    QVERIFY(s.range(50000, 50002).empty); // gaps have no extremes
    QCOMPARE(s.count(), 50002);
}

void TstTrazoLogic::ticksAndLabels_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("length");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("humidity") << 0.0 << 100.0 << 20.0 << 400.0
                              << QStringList{"0", "20", "40", "60", "80", "100"};
    QTest::newRow("pressure") << 15.0 << 115.0 << 20.0 << 400.0
                              << QStringList{"20", "40", "60", "80", "100"};
    QTest::newRow("reversed") << 120.0 << 100.0 << 10.0 << 400.0
                              << QStringList{"100", "110", "120"};
    QTest::newRow("thinned when crowded")
        << 0.0 << 100.0 << 1.0 << 100.0 << QStringList{"0", "20", "40", "60", "80", "100"};
    QTest::newRow("fractional") << 0.0 << 0.3 << 0.1 << 400.0
                                << QStringList{"0", "0.1", "0.2", "0.3"};
    QTest::newRow("no step") << 0.0 << 100.0 << 0.0 << 400.0 << QStringList{};
    // Multiples of the step past 2^53 used to repeat one value up to the tick limit.
    QTest::newRow("beyond exact integers")
        << 1e18 << 1e18 + 1024 << 1.0 << 400.0 << QStringList{"1e+18"};
}

void TstTrazoLogic::ticksAndLabels() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(double, length);
    QFETCH(QStringList, labels);
    QStringList got;
    for (double v : ScaleMath::ticks(from, to, step, length, 18.0))
        got << ScaleMath::valueLabel(v);
    QCOMPARE(got, labels);
}

void TstTrazoLogic::hoursMinutes_data() {
    QTest::addColumn<double>("minutes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0:00";
    QTest::newRow("one hour") << 60.0 << "1:00";
    QTest::newRow("hour and a half") << 90.0 << "1:30";
    QTest::newRow("eight hours") << 480.0 << "8:00";
    QTest::newRow("past a day") << 1865.0 << "31:05";
    QTest::newRow("hundred hours") << 6000.0 << "100:00";
    QTest::newRow("rounds to the minute") << 59.6 << "1:00";
    QTest::newRow("negative") << -30.0 << "-0:30";
}

void TstTrazoLogic::hoursMinutes() {
    QFETCH(double, minutes);
    QFETCH(QString, text);
    QCOMPARE(ScaleMath::hoursMinutes(minutes), text);
}

void TstTrazoLogic::linearScaleMapsEveryRange_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("pixel"); // on an axis from 400 (from) up to 0 (to)
    QTest::newRow("humidity") << 0.0 << 100.0 << 25.0 << 300.0;
    QTest::newRow("reversed") << 120.0 << 100.0 << 110.0 << 200.0;
    QTest::newRow("reversed, end") << 120.0 << 100.0 << 100.0 << 0.0;
    QTest::newRow("empty: one unit around") << 50.0 << 50.0 << 50.0 << 200.0;
    QTest::newRow("empty: one unit around, edge") << 50.0 << 50.0 << 50.5 << 0.0;
    QTest::newRow("empty, huge value") << 1e300 << 1e300 << 1e300 << 200.0;
    // The width of these ranges overflows a double: every value used to land on the bottom.
    QTest::newRow("widest, middle") << -1e308 << 1e308 << 0.0 << 200.0;
    QTest::newRow("widest, top") << -1e308 << 1e308 << 1e308 << 0.0;
    QTest::newRow("widest, bottom") << -1e308 << 1e308 << -1e308 << 400.0;
    QTest::newRow("largest doubles") << -std::numeric_limits<double>::max()
                                     << std::numeric_limits<double>::max() << 0.0 << 200.0;
    // Too narrow to spread over the pixels (the factor overflowed, positions were NaN): drawn
    // like an empty range.
    QTest::newRow("denormal width") << 0.0 << 1e-310 << 0.0 << 200.0;
    QTest::newRow("denormal width, above") << 0.0 << 1e-310 << 0.25 << 100.0;
}

void TstTrazoLogic::linearScaleMapsEveryRange() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, value);
    QFETCH(double, pixel);
    const LinearScale scale(from, to, 400.0, 0.0);
    QCOMPARE(scale.toPixel(value), pixel);
    QCOMPARE(scale.toValue(pixel), value);
}

void TstTrazoLogic::timeWindowScrollsOnceFull_data() {
    QTest::addColumn<double>("hours");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("firstSample");
    QTest::addColumn<QString>("leftLabel");
    QTest::newRow("empty") << 8.0 << qint64(0) << qint64(0) << "0:00";
    QTest::newRow("half full") << 8.0 << qint64(14400) << qint64(0) << "0:00";
    QTest::newRow("exactly full") << 8.0 << qint64(28801) << qint64(0) << "0:00";
    // 1 hour on 1000 px: buckets of 3 samples, so the window moves in steps of 3.
    QTest::newRow("one past full") << 1.0 << qint64(3602) << qint64(3) << "0:00";
    QTest::newRow("an hour later") << 1.0 << qint64(7201) << qint64(3600) << "1:00";
    QTest::newRow("31 hours, a week on")
        << 31.0 << qint64(7 * 24 * 3600) << qint64(493284) << "137:01";
}

void TstTrazoLogic::timeWindowScrollsOnceFull() {
    QFETCH(double, hours);
    QFETCH(qint64, count);
    QFETCH(qint64, firstSample);
    QFETCH(QString, leftLabel);
    AxisSettings time;
    time.minimum = 0.0;
    time.maximum = hours * 60.0;
    const TimeWindow w = TimeWindow::compute(time, count, 1000.0, 1);
    QCOMPARE(w.span, qint64(hours * 3600));
    QCOMPARE(w.firstSample, firstSample);
    QCOMPARE(ScaleMath::hoursMinutes(w.leftMinutes), leftLabel);
    // The newest sample is at most one bucket short of the right end, never past it.
    if (count - 1 > w.span) {
        QVERIFY(count - 1 <= w.lastSample());
        QVERIFY(w.lastSample() - (count - 1) < w.bucket);
    }
}

void TstTrazoLogic::bucketIsWholeGroups_data() {
    QTest::addColumn<qint64>("span");
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("density");
    QTest::addColumn<qint64>("bucket");
    QTest::newRow("more pixels than samples") << qint64(1000) << 1900.0 << 1 << qint64(1);
    QTest::newRow("8 h on 1900 px") << qint64(28800) << 1900.0 << 1 << qint64(15);
    QTest::newRow("groups of 4") << qint64(28800) << 1900.0 << 4 << qint64(12);
    QTest::newRow("groups wider than a column") << qint64(28800) << 1900.0 << 31 << qint64(31);
    QTest::newRow("zero width") << qint64(100) << 0.0 << 1 << qint64(100);
}

void TstTrazoLogic::bucketIsWholeGroups() {
    QFETCH(qint64, span);
    QFETCH(double, width);
    QFETCH(int, density);
    QFETCH(qint64, bucket);
    QCOMPARE(TimeWindow::bucketSize(span, width, density), bucket);
}

void TstTrazoLogic::curveKeepsEveryPeakInFewPoints() {
    SampleStore s;
    AxisSettings time;
    time.maximum = 31 * 60.0;
    for (int i = 0; i < 111600; ++i)
        s.append(i == 77777 ? 99.0 : 50.0 + (i % 2));
    const TimeWindow w = TimeWindow::compute(time, s.count(), 1000.0, 1);
    const LinearScale x(double(w.firstSample), double(w.lastSample()), 0.0, 1000.0);
    const LinearScale y(0.0, 100.0, 100.0, 0.0);
    const Curve c = CurveBuilder::build(s, w, x, y, 0.0, 1000.0);
    QVERIFY(c.points.size() <= 2 * 1010); // two per column, not 111,600
    double top = 1e9;
    for (const QPointF& p : c.points)
        top = std::min(top, p.y());
    QCOMPARE(top, y.toPixel(99.0)); // the one-sample peak survives
    QCOMPARE(c.runEnds.size(), std::size_t(1));
}

void TstTrazoLogic::curveBreaksAtGaps() {
    SampleStore s;
    AxisSettings time;
    time.maximum = 10.0; // 600 samples on 600 px: one sample per bucket
    for (int i = 0; i < 300; ++i)
        s.append(i >= 100 && i < 110 ? std::nan("") : 1.0);
    const TimeWindow w = TimeWindow::compute(time, s.count(), 600.0, 1);
    const LinearScale x(0.0, 600.0, 0.0, 600.0);
    const Curve c = CurveBuilder::build(s, w, x, LinearScale(0, 2, 100, 0), 0.0, 600.0);
    QCOMPARE(c.runEnds.size(), std::size_t(2));
    QCOMPARE(c.runEnds[0], 100);
    QCOMPARE(c.points.size(), std::size_t(290));
    // Asking for a few columns builds only the buckets that can reach them.
    const Curve part = CurveBuilder::build(s, w, x, LinearScale(0, 2, 100, 0), 290.0, 299.0);
    QVERIFY(part.points.size() < 20);
}

void TstTrazoLogic::settingsRejectBadIndicesAndValues_data() {
    QTest::addColumn<int>("what");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("result");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("axis 2 does not exist") << 0 << 2 << 1.0 << int(com::DISP_E_BADINDEX);
    QTest::newRow("negative axis") << 1 << -1 << 1.0 << int(com::DISP_E_BADINDEX);
    QTest::newRow("minimum NaN") << 0 << 1 << nan << int(com::E_INVALIDARG);
    QTest::newRow("maximum infinite") << 1 << 3 << HUGE_VAL << int(com::E_INVALIDARG);
    QTest::newRow("step zero") << 2 << 1 << 0.0 << int(com::E_INVALIDARG);
    QTest::newRow("step on a bad axis") << 2 << 7 << 0.0 << int(com::DISP_E_BADINDEX);
    QTest::newRow("position of the time axis") << 3 << 0 << 1.0 << int(com::DISP_E_BADINDEX);
    QTest::newRow("colour 16") << 4 << 1 << 16.0 << int(com::E_INVALIDARG);
    QTest::newRow("density 0") << 5 << 0 << 0.0 << int(com::E_INVALIDARG);
    QTest::newRow("density of channel 2") << 5 << 2 << 1.0 << int(com::DISP_E_BADINDEX);
    QTest::newRow("reversed range is accepted") << 0 << 1 << 120.0 << int(com::S_OK);
    QTest::newRow("colour 15") << 4 << 3 << 15.0 << int(com::S_OK);
}

void TstTrazoLogic::settingsRejectBadIndicesAndValues() {
    QFETCH(int, what);
    QFETCH(int, index);
    QFETCH(double, value);
    QFETCH(int, result);
    ChartSettings s;
    const std::uint64_t before = s.revision();
    com::HRESULT hr = com::S_OK;
    switch (what) {
    case 0:
        hr = s.setMinimum(index, value);
        break;
    case 1:
        hr = s.setMaximum(index, value);
        break;
    case 2:
        hr = s.setStep(index, value);
        break;
    case 3:
        hr = s.setPosition(index, value);
        break;
    case 4:
        hr = s.setColorCode(index, int(value));
        break;
    default:
        hr = s.setDensity(index, value);
        break;
    }
    QCOMPARE(int(hr), result);
    QCOMPARE(s.revision() != before, com::succeeded(hr));
}

void TstTrazoLogic::repairRestoresUnusableStoredValues() {
    ChartSettings s;
    s.slot(1).minimum = std::nan("");
    s.slot(1).step = -3.0;
    s.slot(2).colorCode = 99;
    s.densitySlot(1) = 0;
    s.slot(2).title = QStringLiteral("kept");
    s.repair();
    const ChartSettings d;
    QCOMPARE(s.leftAxis().minimum, d.leftAxis().minimum);
    QCOMPARE(s.leftAxis().step, d.leftAxis().step);
    QCOMPARE(s.rightAxis().colorCode, d.rightAxis().colorCode);
    QCOMPARE(s.densityOf(1), 1);
    QCOMPARE(s.rightAxis().title, QStringLiteral("kept"));
}

void TstTrazoLogic::paletteCodes() {
    QCOMPARE(ClassicPalette::colorRef(0), 0x000000u);
    QCOMPARE(ClassicPalette::colorRef(1), 0x800000u);
    QCOMPARE(ClassicPalette::colorRef(12), 0x0000FFu);
    QCOMPARE(ClassicPalette::color(12), QColor(255, 0, 0)); // 0x00BBGGRR: code 12 is red
    QCOMPARE(ClassicPalette::color(1), QColor(0, 0, 128));  // code 1 is dark blue
    QCOMPARE(ClassicPalette::colorRef(-1), 0u);
}

QTEST_GUILESS_MAIN(TstTrazoLogic)
#include "tst_trazologic.moc"

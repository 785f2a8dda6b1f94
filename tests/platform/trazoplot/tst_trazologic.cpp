// The chart's window-free logic: the sample store, axis arithmetic, the time window and the
// curve points.
#include "ChartSettings.h"
#include "ClassicPalette.h"
#include "CurveBuilder.h"
#include "SampleStore.h"
#include "ScaleMath.h"
#include "StripChart.h"
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
    void keptBucketsFollowTheSamples();
    void ticksAndLabels_data();
    void ticksAndLabels();
    void ticksStayFewAndOrderedAtExtremes_data();
    void ticksStayFewAndOrderedAtExtremes();
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
    void denseColumnsStartNearThePreviousOne();
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

// The extremes of a whole bucket are kept once read; what was kept must never outlive the samples
// it summarises: a bucket still filling, a ring that wrapped over the bucket's slot, a clear.
void TstTrazoLogic::keptBucketsFollowTheSamples() {
    SampleStore s(4096);
    const std::int64_t size = 58;
    const auto matchesRange = [&s, size](std::int64_t k) {
        const MinMax kept = s.bucket(k, size);
        const MinMax read = s.range(k * size, (k + 1) * size);
        return kept.empty == read.empty && kept.min == read.min && kept.max == read.max;
    };
    for (int i = 0; i < 100; ++i)
        s.append(1.0);
    QCOMPARE(s.bucket(1, size).max, 1.0); // still filling: 42 of its 58 samples
    s.append(9.0);
    QCOMPARE(s.bucket(1, size).max, 9.0);
    // The ring wraps many times over: every bucket index reuses slots of older ones.
    for (int i = 101; i < 40000; ++i) {
        s.append(std::sin(i * 0.01) * (i % 89) + (i == 33333 ? 1000.0 : 0.0));
        if (i % 997 == 0)
            for (std::int64_t k = s.firstKept() / size - 1; k <= s.count() / size; ++k)
                QVERIFY2(matchesRange(k), qPrintable(QStringLiteral("bucket %1").arg(k)));
    }
    QCOMPARE(s.bucket(33333 / size, size).max, s.range(33333, 33334).max);
    // Cleared and filled anew: the same indices hold other samples.
    s.clear();
    for (int i = 0; i < 40000; ++i)
        s.append(-1.0);
    for (std::int64_t k = s.firstKept() / size; k < s.count() / size; ++k)
        QCOMPARE(s.bucket(k, size).max, -1.0);
}

void TstTrazoLogic::ticksAndLabels_data() {
    QTest::addColumn<bool>("time");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("length");
    QTest::addColumn<QStringList>("labels");
    // The console's designed chart: value axes about 380 px high with a step of 20, the time
    // axis about 600 px wide with a step of 60 minutes.
    QTest::newRow("humidity, the step as set") << false << 0.0 << 100.0 << 20.0 << 380.0
                                               << QStringList{"0", "20", "40", "60", "80", "100"};
    QTest::newRow("pressure 15-115")
        << false << 15.0 << 115.0 << 20.0 << 380.0 << QStringList{"20", "40", "60", "80", "100"};
    // A step of 20 over 90-110 used to leave the single label "100".
    QTest::newRow("pressure 90-110")
        << false << 90.0 << 110.0 << 20.0 << 380.0 << QStringList{"90", "95", "100", "105", "110"};
    QTest::newRow("thousandths") << false << 0.001 << 0.002 << 20.0 << 380.0
                                 << QStringList{"0.001",  "0.0012", "0.0014",
                                                "0.0016", "0.0018", "0.002"};
    QTest::newRow("around zero") << false << -5.0 << 5.0 << 20.0 << 380.0
                                 << QStringList{"-4", "-2", "0", "2", "4"};
    QTest::newRow("reversed") << false << 120.0 << 100.0 << 10.0 << 380.0
                              << QStringList{"100", "105", "110", "115", "120"};
    QTest::newRow("crowded: fewer labels on a short axis")
        << false << 0.0 << 100.0 << 1.0 << 100.0 << QStringList{"0", "25", "50", "75", "100"};
    QTest::newRow("a quarter step")
        << false << 0.0 << 1.0 << 20.0 << 100.0 << QStringList{"0", "0.25", "0.5", "0.75", "1"};
    QTest::newRow("empty range") << false << 5.0 << 5.0 << 1.0 << 380.0 << QStringList{};
    // Only the hour marks showed, 0:00 and 1:00.
    QTest::newRow("one hour") << true << 0.0 << 60.0 << 60.0 << 600.0
                              << QStringList{"0:00", "0:10", "0:20", "0:30",
                                             "0:40", "0:50", "1:00"};
    QTest::newRow("eight hours") << true << 0.0 << 480.0 << 60.0 << 600.0
                                 << QStringList{"0:00", "1:00", "2:00", "3:00", "4:00",
                                                "5:00", "6:00", "7:00", "8:00"};
    QTest::newRow("eight hours scrolled")
        << true << 125.0 << 605.0 << 60.0 << 600.0
        << QStringList{"3:00", "4:00", "5:00", "6:00", "7:00", "8:00", "9:00", "10:00"};
    QTest::newRow("thirty-one hours")
        << true << 0.0 << 1860.0 << 60.0 << 900.0
        << QStringList{"0:00",  "3:00",  "6:00",  "9:00",  "12:00", "15:00",
                       "18:00", "21:00", "24:00", "27:00", "30:00"};
    QTest::newRow("a week") << true << 0.0 << 10080.0 << 60.0 << 600.0
                            << QStringList{"0:00",  "24:00",  "48:00",  "72:00",
                                           "96:00", "120:00", "144:00", "168:00"};
    QTest::newRow("five minutes") << true << 0.0 << 5.0 << 60.0 << 600.0
                                  << QStringList{"0:00", "0:01", "0:02", "0:03", "0:04", "0:05"};
}

void TstTrazoLogic::ticksAndLabels() {
    QFETCH(bool, time);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(double, length);
    QFETCH(QStringList, labels);
    QStringList got;
    if (time) {
        for (double v : ScaleMath::timeTicks(from, to, step, length, 56.0))
            got << ScaleMath::hoursMinutes(v);
    } else {
        for (double v : ScaleMath::valueTicks(from, to, step, length, 22.0))
            got << ScaleMath::valueLabel(v);
    }
    QCOMPARE(got, labels);
}

void TstTrazoLogic::ticksStayFewAndOrderedAtExtremes_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("beyond exact integers") << 1e18 << 1e18 + 1024;
    QTest::newRow("the largest doubles") << -1.7e308 << 1.7e308;
    QTest::newRow("tiny") << 1e-300 << 3e-300;
}

void TstTrazoLogic::ticksStayFewAndOrderedAtExtremes() {
    // Multiples of the step past 2^53 used to repeat one value up to the tick limit.
    QFETCH(double, from);
    QFETCH(double, to);
    const std::vector<double> ticks = ScaleMath::valueTicks(from, to, 1.0, 380.0, 22.0);
    QVERIFY(!ticks.empty());
    QVERIFY(std::ssize(ticks) <= ScaleMath::kMaxValueLabels);
    for (std::size_t i = 1; i < ticks.size(); ++i)
        QVERIFY(ticks[i] > ticks[i - 1]);
    QVERIFY(ticks.front() >= from && ticks.back() <= to);
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

void TstTrazoLogic::denseColumnsStartNearThePreviousOne() {
    // A steadily falling series with 120 samples per column, drawn in groups of 40: from the
    // second column on, each column's stroke begins at its extreme nearest the end of the
    // column before, so that no stroke runs across from one column's bottom to the next top.
    StripChart chart;
    ChartSettings& s = chart.settings();
    QCOMPARE(s.setMaximum(axis::Time, 8 * 60.0), com::S_OK);
    QCOMPARE(s.setDensity(0, 40), com::S_OK);
    for (int i = 0; i < 8 * 3600; ++i)
        QCOMPARE(chart.append(0, 1000.0 - i * 0.01), com::S_OK);
    const double width = 240.0;
    const TimeWindow base = chart.window(width);
    const TimeWindow w = chart.channelWindow(base, width, 0);
    QCOMPARE(w.bucket, std::int64_t(120));
    const LinearScale x(double(base.firstSample), double(base.lastSample()), 0.0, width);
    const LinearScale y(700.0, 1000.0, 300.0, 0.0);
    const Curve c = CurveBuilder::build(chart.store(0), w, x, y, 0.0, width);
    // The columns, each a pair of points at one x.
    QCOMPARE(c.points.size(), std::size_t(2 * 240));
    for (std::size_t i = 2; i < c.points.size(); i += 2) {
        const double end = c.points[i - 1].y();
        const QPointF first = c.points[i];
        const QPointF second = c.points[i + 1];
        QCOMPARE(first.x(), second.x());
        // On a pixel centre, so that the stroke is one crisp column.
        QCOMPARE(first.x() - std::floor(first.x()), 0.5);
        QVERIFY2(std::abs(first.y() - end) <= std::abs(second.y() - end),
                 qPrintable(QStringLiteral("column %1 begins at %2, its far end from %3")
                                .arg(i / 2)
                                .arg(first.y())
                                .arg(end)));
    }
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

#include "forms/QtScheduler.h"
#include "forms/Timer.h"
#include "forms/VirtualScheduler.h"

#include <QCoreApplication>
#include <QtTest>

using forms::Timer;
using forms::VirtualScheduler;

class TestTiming : public QObject {
    Q_OBJECT

private slots:
    void sameDueTimeRunsInSchedulingOrder();
    void doEventsRunsDueOrJumpsToNext();
    void eventsPostedWhileRunningWaitForNextYield();
    void timerFiresEveryInterval_data();
    void timerFiresEveryInterval();
    void timerChangesFromItsOwnCallback();
    void instanceFallsBackToQtScheduler();
    void qtSchedulerRunsPostedCalls();
};

void TestTiming::sameDueTimeRunsInSchedulingOrder() {
    VirtualScheduler s;
    QStringList order;
    s.post([&] { order << "b"; }, 10);
    s.post([&] { order << "a"; }, 5);
    s.post([&] { order << "c"; }, 10);
    const auto cancelled = s.post([&] { order << "x"; }, 10);
    s.cancel(cancelled);
    s.advanceTo(10);
    QCOMPARE(order, QStringList({"a", "b", "c"}));
    QCOMPARE(s.nowMs(), 10);
    QCOMPARE(s.pendingCount(), 0);
}

void TestTiming::doEventsRunsDueOrJumpsToNext() {
    VirtualScheduler s;
    QList<qint64> at;
    s.post([&] { at << s.nowMs(); }, 1999);
    s.post([&] { at << s.nowMs(); }, 2000);
    s.doEvents(); // nothing due at 0: jumps to 1999 and runs only that
    QCOMPARE(at, QList<qint64>({1999}));
    s.doEvents();
    QCOMPARE(at, QList<qint64>({1999, 2000}));
    s.doEvents(); // nothing left: the clock stays
    QCOMPARE(s.nowMs(), 2000);
}

void TestTiming::eventsPostedWhileRunningWaitForNextYield() {
    VirtualScheduler s;
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        s.post(again);
    };
    s.post(again);
    s.doEvents();
    QCOMPARE(runs, 1);
    s.doEvents();
    QCOMPARE(runs, 2);
    QCOMPARE(s.nowMs(), 0);
}

void TestTiming::timerFiresEveryInterval_data() {
    QTest::addColumn<int>("interval");
    QTest::addColumn<qint64>("until");
    QTest::addColumn<QList<qint64>>("firings");
    QTest::newRow("every 150") << 150 << qint64(460) << QList<qint64>{150, 300, 450};
    QTest::newRow("not yet") << 2000 << qint64(1999) << QList<qint64>{};
    QTest::newRow("exactly") << 2000 << qint64(2000) << QList<qint64>{2000};
    QTest::newRow("interval 0 never fires") << 0 << qint64(100000) << QList<qint64>{};
}

void TestTiming::timerFiresEveryInterval() {
    QFETCH(int, interval);
    QFETCH(qint64, until);
    QFETCH(QList<qint64>, firings);
    VirtualScheduler s;
    Timer t(s);
    QList<qint64> at;
    t.setCallback([&] { at << s.nowMs(); });
    t.setInterval(interval);
    t.setEnabled(true);
    s.advanceTo(until);
    QCOMPARE(at, firings);
}

void TestTiming::timerChangesFromItsOwnCallback() {
    VirtualScheduler s;
    Timer t(s);
    QList<qint64> at;
    // Like an unlock timer: first after 2000, then every 150 until disabled.
    t.setCallback([&] {
        at << s.nowMs();
        if (at.size() == 3) {
            t.setEnabled(false);
        } else {
            t.setInterval(150);
        }
    });
    t.setInterval(2000);
    t.setEnabled(true);
    s.advanceTo(1000);
    t.setEnabled(true); // enabling again restarts the countdown
    s.advanceTo(10000);
    QCOMPARE(at, QList<qint64>({3000, 3150, 3300}));
    QVERIFY(!t.Enabled());
    QCOMPARE(s.pendingCount(), 0);
}

void TestTiming::instanceFallsBackToQtScheduler() {
    auto* qt = &forms::Scheduler::instance();
    QVERIFY(dynamic_cast<forms::QtScheduler*>(qt));
    {
        VirtualScheduler s;
        forms::Scheduler::setInstance(&s);
        QCOMPARE(&forms::Scheduler::instance(), static_cast<forms::Scheduler*>(&s));
    }
    // A virtual scheduler in use gives way when it is destroyed.
    QCOMPARE(&forms::Scheduler::instance(), qt);
}

void TestTiming::qtSchedulerRunsPostedCalls() {
    forms::QtScheduler s;
    int periodic = 0;
    bool posted = false;
    const auto id = s.startTimer(1, [&] { ++periodic; });
    s.post([&] { posted = true; }, 5);
    QTRY_VERIFY_WITH_TIMEOUT(posted && periodic >= 2, 10000);
    s.cancel(id);
    const int seen = periodic;
    s.post([] {}, 20);
    s.doEvents(); // sleeps until the posted call, does not spin
    QCOMPARE(periodic, seen);
}

QTEST_GUILESS_MAIN(TestTiming)
#include "tst_timing.moc"

#include "core/JournalLog.h"

#include "forms/VirtualScheduler.h"

#include <QtTest>

using service::JournalLog;

class tst_JournalLog : public QObject {
    Q_OBJECT

private slots:
    void linesCarryTheJournalPriority();
    void repeatsAreSummarisedOnceAMinute();
};

void tst_JournalLog::linesCarryTheJournalPriority() {
    forms::VirtualScheduler clock;
    QList<QByteArray> lines;
    JournalLog log(clock, [&](const QByteArray& l) { lines << l; });
    log.error(QStringLiteral("archive full"));
    log.warning(QStringLiteral("port lost"));
    log.info(QStringLiteral("two\nlines"));
    QCOMPARE(lines, (QList<QByteArray>{"<3>archive full\n", "<4>port lost\n", "<6>two lines\n"}));
}

void tst_JournalLog::repeatsAreSummarisedOnceAMinute() {
    forms::VirtualScheduler clock;
    QList<QByteArray> lines;
    JournalLog log(clock, [&](const QByteArray& l) { lines << l; });
    const auto timeout = [&] {
        log.repeated(QStringLiteral("timeout"), JournalLog::Priority::Warning,
                     QStringLiteral("no answer"), QStringLiteral("time-outs"));
    };
    // A time-out every nine seconds for three minutes: the first told, then one line a minute.
    for (int i = 0; i < 20; ++i) {
        timeout();
        clock.advanceBy(9000);
        log.poll();
    }
    QCOMPARE(lines, (QList<QByteArray>{"<4>no answer\n", "<4>6 time-outs in the last minute\n",
                                       "<4>7 time-outs in the last minute\n"}));
    lines.clear();
    // The end tells what was not told yet; the next one is news again.
    log.ended(QStringLiteral("timeout"));
    QCOMPARE(lines, (QList<QByteArray>{"<4>6 time-outs in the last minute\n"}));
    lines.clear();
    timeout();
    timeout();
    log.ended(QStringLiteral("timeout"));
    timeout();
    QCOMPARE(lines, (QList<QByteArray>{"<4>no answer\n", "<4>1 time-outs in the last minute\n",
                                       "<4>no answer\n"}));
}

QTEST_GUILESS_MAIN(tst_JournalLog)
#include "tst_JournalLog.moc"

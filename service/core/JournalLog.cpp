#include "JournalLog.h"

#include <cstdio>

namespace service {

namespace {

// One log line never spans lines: a reason from the system may hold a line break.
QByteArray lineOf(JournalLog::Priority priority, const QString& text) {
    QString flat = text;
    flat.replace(u'\n', u' ').replace(u'\r', u' ');
    return '<' + QByteArray::number(static_cast<int>(priority)) + '>' + flat.toUtf8() + '\n';
}

void writeStderr(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

JournalLog::JournalLog(forms::Scheduler& clock, Sink sink)
    : m_clock(clock)
    , m_sink(sink ? std::move(sink) : Sink(writeStderr)) {}

void JournalLog::log(Priority priority, const QString& text) {
    m_sink(lineOf(priority, text));
}

void JournalLog::repeated(const QString& kind, Priority priority, const QString& text,
                          const QString& plural) {
    const auto it = m_faults.find(kind);
    if (it != m_faults.end()) {
        ++it->count;
        return;
    }
    m_faults.insert(kind, Fault{priority, plural, m_clock.nowMs(), 0});
    log(priority, text);
}

void JournalLog::ended(const QString& kind) {
    const auto it = m_faults.find(kind);
    if (it == m_faults.end()) {
        return;
    }
    summarise(*it);
    m_faults.erase(it);
}

void JournalLog::poll() {
    const qint64 now = m_clock.nowMs();
    for (Fault& fault : m_faults) {
        if (now - fault.periodStartMs >= kSummaryPeriodMs) {
            summarise(fault);
            fault.periodStartMs = now;
        }
    }
}

void JournalLog::summarise(Fault& fault) {
    if (fault.count == 0) {
        return;
    }
    const qint64 elapsed = m_clock.nowMs() - fault.periodStartMs;
    // Polled once a tick, so a summary comes a little after its minute is up.
    const QString period = elapsed < kSummaryPeriodMs * 3 / 2
                               ? QStringLiteral("in the last minute")
                               : QStringLiteral("in the last %1 s").arg(elapsed / 1000);
    log(fault.priority, QStringLiteral("%1 %2 %3").arg(fault.count).arg(fault.plural, period));
    fault.count = 0;
}

} // namespace service

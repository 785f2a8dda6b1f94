#pragma once

#include "forms/Scheduler.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>

namespace service {

// The service's log: one line per event on standard error, each with the journal's priority
// prefix ("<3>" error, "<4>" warning, "<6>" info), which journald reads as the line's level.
//
// A fault that can come back every tick (a time-out, a port that will not open) is told once
// when it starts; while it goes on, its repeats are counted and summarised once a minute
// ("12 time-outs in the last minute"), and once more when it ends, never a line per tick.
class JournalLog {
public:
    enum class Priority { Error = 3, Warning = 4, Info = 6 };
    using Sink = std::function<void(const QByteArray& line)>;

    static constexpr qint64 kSummaryPeriodMs = 60 * 1000;

    // Lines go to `sink` (standard error when none); the minute is the scheduler's.
    explicit JournalLog(forms::Scheduler& clock = forms::Scheduler::instance(), Sink sink = {});

    void log(Priority priority, const QString& text);
    void error(const QString& text) { log(Priority::Error, text); }
    void warning(const QString& text) { log(Priority::Warning, text); }
    void info(const QString& text) { log(Priority::Info, text); }

    // One occurrence of the repeating fault `kind`. The first since the fault began is logged
    // as `text`; the later ones are counted as `plural` ("time-outs").
    void repeated(const QString& kind, Priority priority, const QString& text,
                  const QString& plural);
    // The fault `kind` is over: the repeats not yet told are summarised, and its next
    // occurrence is logged in full again.
    void ended(const QString& kind);
    // Writes the summaries whose minute is up; called from the tick loop.
    void poll();

    bool isActive(const QString& kind) const { return m_faults.contains(kind); }

private:
    struct Fault {
        Priority priority = Priority::Warning;
        QString plural;
        qint64 periodStartMs = 0;
        quint64 count = 0;
    };
    void summarise(Fault& fault);

    forms::Scheduler& m_clock;
    Sink m_sink;
    QMap<QString, Fault> m_faults;
};

} // namespace service

#pragma once

#include "forms/Scheduler.h"

#include <map>
#include <utility>

namespace forms {

// Scheduler on a virtual clock, for tests of timing logic. Time moves only when told to or
// when doEvents() finds nothing due: then it jumps to the next due event. Events due at the
// same time run in the order they were scheduled. "1999 ms of silence, then a byte" runs in
// microseconds and exactly.
class VirtualScheduler final : public Scheduler {
public:
    explicit VirtualScheduler(qint64 startMs = 0);
    ~VirtualScheduler() override;

    qint64 nowMs() const override { return m_now; }
    Id startTimer(int intervalMs, Callback callback) override;
    Id post(Callback callback, int delayMs = 0) override;
    void cancel(Id id) override;

    // Runs everything due now; if nothing is due, advances the clock to the next due event and
    // runs what is due then. Events scheduled while it runs wait for the next call.
    void doEvents() override;

    // Runs, in order, everything due up to ms and leaves the clock at ms (never backwards).
    void advanceTo(qint64 ms);
    void advanceBy(qint64 ms) { advanceTo(m_now + ms); }

    // Number of timers and posted calls still scheduled.
    int pendingCount() const { return static_cast<int>(m_queue.size()); }
    // Due time of the earliest scheduled event, or -1 when none.
    qint64 nextDueMs() const;

private:
    using Key = std::pair<qint64, quint64>; // due time, scheduling order
    struct Entry {
        Id id;
        int intervalMs; // 0: one-shot
        Callback callback;
    };
    Id add(qint64 delayMs, int intervalMs, Callback callback);
    bool runNextDue(qint64 limit, quint64 orderLimit);

    qint64 m_now;
    Id m_nextId = 1;
    quint64 m_nextOrder = 0;
    std::map<Key, Entry> m_queue;
    std::map<Id, Key> m_keys;
};

} // namespace forms

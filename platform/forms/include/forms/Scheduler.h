#pragma once

#include <QtGlobal>

#include <functional>

namespace forms {

// The message loop as form code sees it: a clock, periodic timers, one-shot posted events and
// the yield that lets pending events run. One scheduler is in use at a time; the application
// runs on Qt's event loop, unit tests on a virtual clock.
class Scheduler {
public:
    using Callback = std::function<void()>;
    using Id = quint64;

    virtual ~Scheduler();

    // Milliseconds since an arbitrary origin; never goes backwards.
    virtual qint64 nowMs() const = 0;

    // Starts a periodic timer that first fires intervalMs from now. Returns its id (never 0).
    virtual Id startTimer(int intervalMs, Callback callback) = 0;
    // Schedules one call delayMs from now (0: as soon as the loop runs). Returns its id.
    virtual Id post(Callback callback, int delayMs = 0) = 0;
    // Cancels a timer or a posted call; unknown or finished ids are ignored. Safe from inside
    // the callback being run.
    virtual void cancel(Id id) = 0;

    // The yield: runs what is due. May wait for the next event instead of spinning.
    virtual void doEvents() = 0;

    // The scheduler in use: the one last set, else a process-wide Qt scheduler.
    static Scheduler& instance();
    // Chooses the scheduler in use (nullptr: back to the Qt one). The caller keeps ownership.
    static void setInstance(Scheduler* scheduler);
};

// Yields to the message loop of the scheduler in use.
void doEvents();

} // namespace forms

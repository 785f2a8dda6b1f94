#pragma once

#include "Scheduler.h"

#include <functional>

namespace forms {

// A form timer: fires its callback every Interval milliseconds while Enabled. Enabling restarts
// the countdown; changing Interval while enabled restarts it with the new interval; an Interval
// of 0 never fires. The callback may change the timer's own Interval or Enabled.
class Timer {
public:
    explicit Timer(Scheduler& scheduler = Scheduler::instance());
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    int Interval() const { return m_interval; }
    void setInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    void setCallback(std::function<void()> callback) { m_callback = std::move(callback); }

    // The scheduler the timer runs on.
    Scheduler& scheduler() const { return m_scheduler; }

private:
    void restart();
    void stop();

    Scheduler& m_scheduler;
    std::function<void()> m_callback;
    Scheduler::Id m_id = 0;
    int m_interval = 0;
    bool m_enabled = false;
};

} // namespace forms

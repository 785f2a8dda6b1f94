#include "forms/Timer.h"

namespace forms {

Timer::Timer(Scheduler& scheduler)
    : m_scheduler(scheduler) {}

Timer::~Timer() {
    stop();
}

void Timer::setInterval(int ms) {
    m_interval = qMax(0, ms);
    if (m_enabled) {
        restart();
    }
}

void Timer::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (enabled) {
        restart();
    } else {
        stop();
    }
}

void Timer::restart() {
    stop();
    if (m_interval <= 0) {
        return;
    }
    m_id = m_scheduler.startTimer(m_interval, [this] {
        if (m_callback) {
            m_callback();
        }
    });
}

void Timer::stop() {
    if (m_id != 0) {
        m_scheduler.cancel(m_id);
        m_id = 0;
    }
}

} // namespace forms

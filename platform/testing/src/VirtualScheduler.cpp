#include "forms/VirtualScheduler.h"

#include <limits>

namespace forms {

VirtualScheduler::VirtualScheduler(qint64 startMs)
    : m_now(startMs) {}

VirtualScheduler::~VirtualScheduler() {
    if (&Scheduler::instance() == this) {
        Scheduler::setInstance(nullptr);
    }
}

Scheduler::Id VirtualScheduler::startTimer(int intervalMs, Callback callback) {
    const int interval = qMax(1, intervalMs);
    return add(interval, interval, std::move(callback));
}

Scheduler::Id VirtualScheduler::post(Callback callback, int delayMs) {
    return add(qMax(0, delayMs), 0, std::move(callback));
}

Scheduler::Id VirtualScheduler::add(qint64 delayMs, int intervalMs, Callback callback) {
    const Id id = m_nextId++;
    const Key key{m_now + delayMs, m_nextOrder++};
    m_queue.emplace(key, Entry{id, intervalMs, std::move(callback)});
    m_keys.emplace(id, key);
    return id;
}

void VirtualScheduler::cancel(Id id) {
    const auto it = m_keys.find(id);
    if (it == m_keys.end()) {
        return;
    }
    m_queue.erase(it->second);
    m_keys.erase(it);
}

qint64 VirtualScheduler::nextDueMs() const {
    return m_queue.empty() ? -1 : m_queue.begin()->first.first;
}

// Runs the earliest event if it is due by `limit` and was scheduled before `orderLimit`.
bool VirtualScheduler::runNextDue(qint64 limit, quint64 orderLimit) {
    auto it = m_queue.begin();
    while (it != m_queue.end() && it->first.first <= limit && it->first.second >= orderLimit) {
        ++it;
    }
    if (it == m_queue.end() || it->first.first > limit) {
        return false;
    }
    const qint64 due = it->first.first;
    Entry entry = std::move(it->second);
    m_queue.erase(it);
    m_keys.erase(entry.id);
    m_now = qMax(m_now, due);
    Callback run = entry.callback;
    if (entry.intervalMs > 0) {
        // A periodic timer is rescheduled before it runs, so it can stop itself.
        const Key key{due + entry.intervalMs, m_nextOrder++};
        m_keys.emplace(entry.id, key);
        m_queue.emplace(key, std::move(entry));
    }
    run();
    return true;
}

void VirtualScheduler::doEvents() {
    const quint64 orderLimit = m_nextOrder;
    if (nextDueMs() > m_now || m_queue.empty()) {
        if (m_queue.empty()) {
            return;
        }
        m_now = nextDueMs();
    }
    while (runNextDue(m_now, orderLimit)) {
    }
}

void VirtualScheduler::advanceTo(qint64 ms) {
    while (runNextDue(ms, std::numeric_limits<quint64>::max())) {
    }
    m_now = qMax(m_now, ms);
}

} // namespace forms

#include "TickQueue.h"

namespace mqtt {

TickQueue::TickQueue(qsizetype limit)
    : m_limit(limit < 1 ? 1 : limit) {}

void TickQueue::push(const archive::Entry& entry) {
    std::lock_guard lock(m_mutex);
    if (static_cast<qsizetype>(m_entries.size()) >= m_limit) {
        m_entries.pop_front();
        ++m_dropped;
        ++m_droppedUntaken;
    }
    m_entries.push_back(entry);
}

std::optional<archive::Entry> TickQueue::pop() {
    std::lock_guard lock(m_mutex);
    if (m_entries.empty()) {
        return std::nullopt;
    }
    archive::Entry e = m_entries.front();
    m_entries.pop_front();
    return e;
}

bool TickQueue::isEmpty() const {
    std::lock_guard lock(m_mutex);
    return m_entries.empty();
}

qsizetype TickQueue::size() const {
    std::lock_guard lock(m_mutex);
    return static_cast<qsizetype>(m_entries.size());
}

quint64 TickQueue::takeDropped() {
    std::lock_guard lock(m_mutex);
    const quint64 n = m_droppedUntaken;
    m_droppedUntaken = 0;
    return n;
}

quint64 TickQueue::droppedTotal() const {
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

} // namespace mqtt

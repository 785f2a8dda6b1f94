#pragma once

#include "archive/ArchiveEntry.h"

#include <deque>
#include <mutex>
#include <optional>

namespace mqtt {

// The ticks waiting for the broker, handed from the tick's thread to the publisher's. Holds at
// most `limit`; a tick beyond that pushes the oldest out, and the losses are counted.
class TickQueue {
public:
    explicit TickQueue(qsizetype limit);

    void push(const archive::Entry& entry);
    std::optional<archive::Entry> pop();
    bool isEmpty() const;
    qsizetype size() const;

    // Ticks dropped since the last call.
    quint64 takeDropped();
    quint64 droppedTotal() const;

private:
    mutable std::mutex m_mutex;
    std::deque<archive::Entry> m_entries;
    qsizetype m_limit;
    quint64 m_dropped = 0;
    quint64 m_droppedUntaken = 0;
};

} // namespace mqtt

#pragma once

#include "BatchSink.h"

#include "forms/Scheduler.h"
#include "forms/Timer.h"

#include <deque>
#include <functional>
#include <memory>

namespace archive {

// Keeps every tick for the archive without ever making a tick wait: add() only queues the
// entry in memory and the sink writes it, as one batch with the others queued, on its own
// thread; close() writes the rest. When to write depends on where the archive is:
// - a file is written on a beat (every five seconds by default): few commits, so an SD card
//   lasts, and nobody but this program waits for its rows;
// - a database server, which others read as it is written, gets a tick as soon as it comes:
//   when no batch is under way, the queue goes after a short delay (ticks that come together
//   go together); ticks that come while a batch is under way go in the next one, as soon as
//   it has been committed. A batch at a time, in order, whatever the pace of the ticks.
// When the archive cannot be opened or written, the entries stay queued and the write is
// tried again at the next beat; the trouble is told once through the notice, and its end too.
// The queue is bounded (by default a day of one-second ticks); beyond it the oldest entries
// are dropped and counted. A file that is not an archive (or is of a newer layout) stops
// archiving for the run: it is never written.
//
// Lives on one thread (the user-interface one); the sink may write on another.
class ArchiveWriter {
public:
    struct Options {
        int flushIntervalMs = 5000; // a file's beat; on a server, the pace of the retries
        int serverDelayMs = 100;    // on a server, from a tick reaching an idle writer to its write
        std::size_t capacity = 24 * 60 * 60;
        std::size_t maxBatch = 50000;
    };
    enum class State {
        Writing,  // the last write went through (or none was tried yet)
        Retrying, // the last write failed; entries wait for the next try
        Off,      // archiving stopped for the run
    };

    ArchiveWriter(std::unique_ptr<BatchSink> sink, forms::Scheduler& scheduler, Options options);
    ArchiveWriter(std::unique_ptr<BatchSink> sink, forms::Scheduler& scheduler)
        : ArchiveWriter(std::move(sink), scheduler, Options{}) {}
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;
    ~ArchiveWriter();

    // Receives the texts about the archive's troubles; an empty text when a trouble is over.
    void setNotice(std::function<void(const QString&)> notice) { m_notice = std::move(notice); }

    // Opens the archive now, so that a trouble shows from the start.
    void start();
    // Queues one tick; constant time.
    void add(const Entry& entry);
    // Hands the queued entries to the sink, unless a write is still under way.
    void flush();
    // Whether ticks are written as they come (a database server) rather than on the beat.
    bool prompt() const { return m_prompt; }
    // Waits for a write under way, writes what is left and stops. Returns how the last write
    // went (S_OK when nothing was left).
    HRESULT close();

    State state() const { return m_state; }
    std::size_t queued() const { return m_queue.size() + inFlightCount(); }
    quint64 dropped() const { return m_dropped; }
    HRESULT lastResult() const { return m_lastResult; }

private:
    void written(HRESULT hr);
    void writeSoon();
    std::size_t inFlightCount() const { return m_inFlight ? m_inFlight->size() : 0; }
    void requeue();
    void trimToCapacity();
    void report(HRESULT hr);
    void tell(const QString& text) const;

    std::unique_ptr<BatchSink> m_sink;
    Options m_options;
    bool m_prompt = false;
    forms::Timer m_timer;
    forms::Scheduler::Id m_soon = 0; // the write writeSoon() has posted
    std::function<void(const QString&)> m_notice;
    std::deque<Entry> m_queue;
    std::shared_ptr<const Batch> m_inFlight;
    bool m_writing = false;
    bool m_closed = false;
    State m_state = State::Writing;
    HRESULT m_lastResult = com::S_OK;
    quint64 m_dropped = 0;
    quint64 m_droppedReported = 0; // dropped entries a recovery notice or the log has named
    quint64 m_droppedTold = 0;     // dropped entries the current trouble's notice counts
};

} // namespace archive

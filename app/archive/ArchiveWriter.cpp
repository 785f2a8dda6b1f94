#include "ArchiveWriter.h"

#include <QtGlobal>

#include <algorithm>
#include <utility>

namespace archive {

ArchiveWriter::ArchiveWriter(std::unique_ptr<BatchSink> sink, forms::Scheduler& scheduler,
                             Options options)
    : m_sink(std::move(sink))
    , m_options(options)
    , m_prompt(m_sink->onServer())
    , m_timer(scheduler) {
    m_options.capacity = std::max<std::size_t>(m_options.capacity, 1);
    m_options.maxBatch = std::max<std::size_t>(m_options.maxBatch, 1);
    m_options.serverDelayMs = std::max(m_options.serverDelayMs, 0);
    m_timer.setInterval(m_options.flushIntervalMs);
    m_timer.setCallback([this] { flush(); });
    m_timer.setEnabled(true);
}

ArchiveWriter::~ArchiveWriter() {
    close();
}

void ArchiveWriter::start() {
    if (m_writing || m_state == State::Off || m_closed) {
        return;
    }
    m_writing = true;
    m_sink->write(std::make_shared<const Batch>(), [this](HRESULT hr) { written(hr); });
}

void ArchiveWriter::add(const Entry& entry) {
    if (m_state == State::Off || m_closed) {
        return;
    }
    if (queued() >= m_options.capacity) {
        ++m_dropped;
        if (m_queue.empty()) {
            return; // everything queued is being written: the newest gives way
        }
        m_queue.pop_front();
    }
    m_queue.push_back(entry);
    if (m_prompt) {
        writeSoon();
    }
}

void ArchiveWriter::writeSoon() {
    // Only while the server takes the writes: when it does not, the beat tries again.
    if (m_writing || m_soon != 0 || m_state != State::Writing || m_closed) {
        return;
    }
    m_soon = m_timer.scheduler().post(
        [this] {
            m_soon = 0;
            flush();
        },
        m_options.serverDelayMs);
}

void ArchiveWriter::flush() {
    if (m_writing || m_queue.empty() || m_state == State::Off || m_closed) {
        return;
    }
    const auto count = static_cast<std::ptrdiff_t>(std::min(m_queue.size(), m_options.maxBatch));
    auto batch = std::make_shared<Batch>(m_queue.begin(), m_queue.begin() + count);
    m_queue.erase(m_queue.begin(), m_queue.begin() + count);
    m_inFlight = batch;
    m_writing = true;
    m_sink->write(std::move(batch), [this](HRESULT hr) { written(hr); });
}

void ArchiveWriter::written(HRESULT hr) {
    m_writing = false;
    if (com::failed(hr)) {
        requeue();
    }
    m_inFlight.reset(); // written, or back in the queue
    report(hr);
    if (m_prompt && com::succeeded(hr)) {
        flush(); // what came while the batch was under way
    }
}

void ArchiveWriter::requeue() {
    if (m_inFlight) {
        m_queue.insert(m_queue.begin(), m_inFlight->begin(), m_inFlight->end());
    }
    trimToCapacity();
}

void ArchiveWriter::trimToCapacity() {
    while (m_queue.size() > m_options.capacity) {
        m_queue.pop_front();
        ++m_dropped;
    }
}

void ArchiveWriter::report(HRESULT hr) {
    const HRESULT before = m_lastResult;
    m_lastResult = hr;
    const QString place = QStringLiteral("Archivo de lecturas %1").arg(m_sink->path());
    if (isPermanent(hr)) {
        m_state = State::Off;
        m_timer.setEnabled(false);
        m_dropped += m_queue.size();
        m_queue.clear();
        tell(QStringLiteral("%1: %2; no se archivan las lecturas.").arg(place, describe(hr)));
    } else if (com::failed(hr)) {
        m_state = State::Retrying;
        // A new trouble, or old entries dropped since the last notice: the notice says so.
        if (hr != before || m_dropped > m_droppedTold) {
            QString text = QStringLiteral("%1: %2; se reintenta").arg(place, describe(hr));
            if (m_dropped > m_droppedReported) {
                text += QStringLiteral("; %1 entradas antiguas descartadas: no caben más en "
                                       "espera")
                            .arg(m_dropped - m_droppedReported);
            }
            m_droppedTold = m_dropped;
            tell(text + QLatin1Char('.'));
        }
    } else if (m_state == State::Retrying) {
        // Writing again: the trouble's notice goes (empty text), unless entries were dropped.
        m_state = State::Writing;
        QString text;
        if (m_dropped > m_droppedReported) {
            text = QStringLiteral("%1: se vuelve a escribir; se descartaron %2 entradas antiguas "
                                  "mientras no se podía escribir.")
                       .arg(place)
                       .arg(m_dropped - m_droppedReported);
            m_droppedReported = m_droppedTold = m_dropped;
        }
        tell(text);
    }
}

void ArchiveWriter::tell(const QString& text) const {
    if (m_notice) {
        m_notice(text);
    }
}

HRESULT ArchiveWriter::close() {
    if (m_closed) {
        return m_lastResult;
    }
    m_timer.setEnabled(false);
    if (m_soon != 0) {
        m_timer.scheduler().cancel(std::exchange(m_soon, 0));
    }
    // Closed before the write under way ends, so that its outcome starts no other.
    m_closed = true;
    m_sink->waitIdle();
    if (m_dropped > m_droppedReported) {
        // Nobody is left to see a notice: the log keeps what was lost.
        qWarning("%s: %llu entries were dropped while the archive could not be written",
                 qPrintable(m_sink->path()),
                 static_cast<unsigned long long>(m_dropped - m_droppedReported));
        m_droppedReported = m_dropped;
    }
    if (m_state == State::Off || m_queue.empty()) {
        return m_state == State::Off ? m_lastResult : com::S_OK;
    }
    const Batch rest(m_queue.begin(), m_queue.end());
    m_lastResult = m_sink->writeNow(rest);
    if (com::failed(m_lastResult)) {
        // Nobody is left to see a notice: the log keeps what was lost.
        qWarning("%s: %zu ticks could not be archived (%s)", qPrintable(m_sink->path()),
                 rest.size(), qPrintable(describe(m_lastResult)));
        m_dropped += rest.size();
    }
    m_queue.clear();
    return m_lastResult;
}

} // namespace archive

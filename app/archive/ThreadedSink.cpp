#include "ThreadedSink.h"

#include "DatabaseSink.h"
#include "StoreFactory.h"

#include <QCoreApplication>
#include <QEvent>

namespace archive {

ThreadedSink::ThreadedSink(const QString& path, ArchiveDatabase::Options options)
    : m_path(path) {
    start([path, options] { return std::make_unique<ArchiveDatabase>(path, options); });
}

ThreadedSink::ThreadedSink(const ArchiveLocation& where)
    : m_path(where.path)
    , m_server(where.server) {
    start([where] { return makeStore(where); });
}

void ThreadedSink::start(std::function<std::unique_ptr<ArchiveStore>()> make) {
    m_thread.setObjectName(QStringLiteral("archive writer"));
    m_worker.moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
    QMetaObject::invokeMethod(
        &m_worker, [this, make] { m_sink = std::make_unique<DatabaseSink>(make()); },
        Qt::QueuedConnection);
}

ThreadedSink::~ThreadedSink() {
    QMetaObject::invokeMethod(
        &m_worker, [this] { m_sink.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void ThreadedSink::write(std::shared_ptr<const Batch> batch, Done done) {
    QMetaObject::invokeMethod(
        &m_worker,
        [this, batch = std::move(batch), done = std::move(done)] {
            const HRESULT hr = m_sink->writeNow(*batch);
            QMetaObject::invokeMethod(
                &m_receiver, [done, hr] { done(hr); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void ThreadedSink::waitIdle() {
    // Jobs run in order, so once this empty one has run every earlier write has ended; their
    // outcomes are then waiting in the caller's queue.
    QMetaObject::invokeMethod(
        &m_worker, [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::sendPostedEvents(&m_receiver, QEvent::MetaCall);
}

HRESULT ThreadedSink::writeNow(const Batch& batch) {
    HRESULT hr = com::S_OK;
    QMetaObject::invokeMethod(
        &m_worker, [this, &batch, &hr] { hr = m_sink->writeNow(batch); },
        Qt::BlockingQueuedConnection);
    return hr;
}

} // namespace archive

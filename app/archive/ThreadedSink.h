#pragma once

#include "ArchiveDatabase.h"
#include "ArchiveLocation.h"
#include "BatchSink.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

namespace archive {

class DatabaseSink;

// Writes batches on a thread of its own with its own connection, so that a slow disk, a slow
// or lost database server or another program's lock never holds up the caller. Outcomes come back
// to the caller's thread through its event loop.
class ThreadedSink final : public BatchSink {
public:
    explicit ThreadedSink(const QString& path, ArchiveDatabase::Options options = {});
    // The archive the location names (a file or a database server).
    explicit ThreadedSink(const ArchiveLocation& where);
    ~ThreadedSink() override;

    void write(std::shared_ptr<const Batch> batch, Done done) override;
    void waitIdle() override;
    HRESULT writeNow(const Batch& batch) override;
    QString path() const override { return m_path; }
    bool onServer() const override { return m_server; }

private:
    // Makes the store on the writer's thread, where its connection lives.
    void start(std::function<std::unique_ptr<ArchiveStore>()> make);

    QString m_path;
    bool m_server = false;
    QThread m_thread;
    QObject m_worker;                     // lives on m_thread
    QObject m_receiver;                   // lives on the caller's thread
    std::unique_ptr<DatabaseSink> m_sink; // made, used and destroyed on m_thread
};

} // namespace archive

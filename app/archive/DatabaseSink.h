#pragma once

#include "ArchiveDatabase.h"
#include "BatchSink.h"

#include <memory>

namespace archive {

// Writes batches into the archive on the calling thread. After a failure the archive is
// closed, so the next write opens it afresh (a folder made writable, a disk with room again,
// the database server back).
class DatabaseSink final : public BatchSink {
public:
    explicit DatabaseSink(std::unique_ptr<ArchiveStore> store)
        : m_db(std::move(store)) {}
    explicit DatabaseSink(const QString& path, ArchiveDatabase::Options options = {})
        : m_db(std::make_unique<ArchiveDatabase>(path, options)) {}

    void write(std::shared_ptr<const Batch> batch, Done done) override;
    void waitIdle() override {}
    HRESULT writeNow(const Batch& batch) override;
    QString path() const override { return m_db->path(); }

    const ArchiveStore& database() const { return *m_db; }

private:
    std::unique_ptr<ArchiveStore> m_db;
};

} // namespace archive

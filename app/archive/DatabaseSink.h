#pragma once

#include "ArchiveDatabase.h"
#include "BatchSink.h"

namespace archive {

// Writes batches into the archive file on the calling thread. After a failure the file is
// closed, so the next write opens it afresh (a folder made writable, a disk with room again).
class DatabaseSink final : public BatchSink {
public:
    explicit DatabaseSink(const QString& path, ArchiveDatabase::Options options = {})
        : m_db(path, options) {}

    void write(std::shared_ptr<const Batch> batch, Done done) override;
    void waitIdle() override {}
    HRESULT writeNow(const Batch& batch) override;
    QString path() const override { return m_db.path(); }

    const ArchiveDatabase& database() const { return m_db; }

private:
    ArchiveDatabase m_db;
};

} // namespace archive

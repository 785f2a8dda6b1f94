#pragma once

#include "ArchiveEntry.h"
#include "ArchiveError.h"

#include <functional>
#include <memory>
#include <vector>

namespace archive {

using Batch = std::vector<Entry>;

// Where the archive writer's batches go: the archive file, opened when first needed and again
// after a failure.
class BatchSink {
public:
    using Done = std::function<void(HRESULT)>;

    virtual ~BatchSink();

    // Writes the batch in one go (an empty batch only opens the archive). done gets the outcome
    // on the caller's thread, possibly before write returns.
    virtual void write(std::shared_ptr<const Batch> batch, Done done) = 0;
    // Blocks until no write is under way and its done has run.
    virtual void waitIdle() = 0;
    // Writes at once and returns the outcome (the last batch, at exit).
    virtual HRESULT writeNow(const Batch& batch) = 0;
    // The archive file, for messages.
    virtual QString path() const = 0;
    // Whether the archive is a database server that others read while it is written: its
    // ticks are wanted there at once, not on a file's beat.
    virtual bool onServer() const { return false; }
};

} // namespace archive

#pragma once

#include <QString>

namespace benchweb {

// A year of readings at 1 Hz from 2025-01-01T00:00:00Z (31,536,000 rows) with their
// quarter-hour summaries, in an archive file made once under the build folder and reused by
// later runs. The values follow a fixed pattern, so every run reads the same file.
struct YearArchive {
    static constexpr qint64 kStartMs = 1735689600000; // on the quarters' grid
    static constexpr qint64 kSeconds = 365LL * 86400;
    static constexpr qint64 kEndMs = kStartMs + kSeconds * 1000;

    // The file's path, making it first when it is missing; empty, with `error`, on failure.
    static QString ensure(QString& error);
};

} // namespace benchweb

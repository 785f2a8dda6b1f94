#pragma once

#include "ArchiveStore.h"

namespace archive {

// Copies one station's readings and failed ticks from one archive into another (an SQLite
// file into PostgreSQL, the usual first step), a day at a time, each day in one batch. What
// the destination already holds is not written again, so a copy run twice, or run again
// after it was cut short, or into an archive a writer already fills, doubles nothing.
class ArchiveCopy {
public:
    struct Counts {
        qint64 copied = 0;  // readings and failed ticks written
        qint64 present = 0; // already in the destination
    };

    // Both stores open: from for reading, to for writing.
    ArchiveCopy(const ArchiveStore& from, ArchiveStore& to)
        : m_from(from)
        , m_to(to) {}

    HRESULT run(Counts& counts);
    // Which side the last failure came from, for messages.
    bool failedOnSource() const { return m_failedOnSource; }

private:
    HRESULT copyWindow(qint64 fromMs, qint64 toMs, Counts& counts);

    const ArchiveStore& m_from;
    ArchiveStore& m_to;
    bool m_failedOnSource = false;
};

} // namespace archive

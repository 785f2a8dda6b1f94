#pragma once

#include "archive/ArchiveCsv.h"
#include "archive/ArchiveLocation.h"
#include "archive/ArchiveReader.h"
#include "archive/ArchiveStore.h"

#include <QDate>
#include <QString>
#include <QTextStream>

#include <memory>
#include <optional>

// The commands of brisora-archive on one archive (a file or a database), in the user's time
// zone.
class ArchiveTool {
public:
    static constexpr int kExitFailure = 1;
    static constexpr int kExitUsage = 64;

    struct Range {
        std::optional<QDate> from;
        std::optional<QDate> to; // included
    };

    ArchiveTool(const archive::ArchiveLocation& where, QTimeZone zone, QTextStream& err);

    // Each returns the program's exit code.
    int exportReadings(const Range& range, QTextStream& out);
    int daily(const Range& range, QTextStream& out);
    int summary(QTextStream& out);
    int check(QTextStream& out);
    // Each station with its first and last reading and count.
    int stations(QTextStream& out);
    // Copies this archive's station into another archive, leaving out what is already there.
    int copyTo(const archive::ArchiveLocation& destination, QTextStream& out);

private:
    // Opens the archive for reading; 0, or the exit status after saying why it failed.
    int open(archive::ArchiveStore::Mode mode = archive::ArchiveStore::Mode::Read);
    int fail(com::HRESULT hr) { return fail(*m_db, hr); }
    int fail(const archive::ArchiveStore& store, com::HRESULT hr);
    QString duration(qint64 ms) const;

    std::unique_ptr<archive::ArchiveStore> m_db;
    QTimeZone m_zone;
    archive::ArchiveCsv m_csv;
    QTextStream& m_err;
};

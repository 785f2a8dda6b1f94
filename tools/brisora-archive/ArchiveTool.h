#pragma once

#include "archive/ArchiveCsv.h"
#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveReader.h"

#include <QDate>
#include <QString>
#include <QTextStream>

#include <optional>

// The commands of brisora-archive on one archive file, in the user's time zone.
class ArchiveTool {
public:
    static constexpr int kExitFailure = 1;
    static constexpr int kExitUsage = 64;

    struct Range {
        std::optional<QDate> from;
        std::optional<QDate> to; // included
    };

    ArchiveTool(const QString& path, QTimeZone zone, QTextStream& err);

    // Each returns the program's exit code.
    int exportReadings(const Range& range, QTextStream& out);
    int daily(const Range& range, QTextStream& out);
    int summary(QTextStream& out);
    int check(QTextStream& out);

private:
    // Opens the archive for reading; 0, or the exit status after saying why it failed.
    int open();
    int fail(com::HRESULT hr);
    QString duration(qint64 ms) const;

    archive::ArchiveDatabase m_db;
    QTimeZone m_zone;
    archive::ArchiveCsv m_csv;
    QTextStream& m_err;
};

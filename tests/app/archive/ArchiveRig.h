#pragma once

#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveReader.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <vector>

// Readings one second apart from startMs; humidity and pressure follow the raw values, which
// step through a saw-tooth so extremes fall at known times.
inline std::vector<archive::Entry> syntheticReadings(qint64 startMs, int count,
                                                     qint64 stepMs = 1000) {
    std::vector<archive::Entry> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto rawH = static_cast<quint16>(400 + (i * 7) % 300);
        const auto rawP = static_cast<quint16>(9000 + (i * 13) % 500);
        out.push_back(archive::Entry::reading(startMs + i * stepMs,
                                              rawH * 50.0 / 39936 * 100 - 20.5,
                                              rawP * 500 / 4710.4 + 10.6521, rawH, rawP));
    }
    return out;
}

inline qint64 rowCount(const archive::ArchiveDatabase& db, const QString& table) {
    QSqlQuery q(db.connection());
    q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return q.next() ? q.value(0).toLongLong() : -1;
}

// A fresh folder per test with the archive's path in it.
struct ArchiveDir {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("brisora/archive.sqlite")); }
};

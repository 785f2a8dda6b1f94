#pragma once

#include "ArchiveEntry.h"
#include "ArchiveError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace archive {

// One connection to an archive, whatever keeps it: an SQLite file (one station) or a
// PostgreSQL database (many stations side by side). The readers run the same SQL on both;
// what differs (the station a query is about, the integrity check) the store says.
//
// A connection belongs to the thread that opened it.
class ArchiveStore {
public:
    enum class Mode {
        Write, // creates the archive when missing; brings old layouts up
        Read,  // the archive must exist and be current
        List,  // as Read, without choosing a station (for the list of stations)
    };
    // One station of the archive with its first and last reading and how many there are.
    struct StationInfo {
        QString name;
        qint64 count = 0;
        qint64 firstMs = 0;
        qint64 lastMs = 0;
    };

    virtual ~ArchiveStore();

    virtual HRESULT open(Mode mode) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes the batch in one transaction: all of it or, on failure, none of it.
    virtual HRESULT append(std::span<const Entry> batch) = 0;

    // Where the archive is, for messages (never with a password).
    virtual QString path() const = 0;
    // The underlying error of the last failure, for messages.
    virtual const QString& lastError() const = 0;
    virtual QSqlDatabase connection() const = 0;
    // The code for a failed statement of this engine; `otherwise` when it says nothing more.
    virtual HRESULT codeOf(const QSqlError& error, HRESULT otherwise) const = 0;

    // The condition that keeps a query of readings, failures or quarter_hours to this store's
    // station ("1 = 1" where the archive holds one).
    virtual QString stationCondition() const = 0;
    // The station this store reads and writes.
    virtual QString station() const = 0;
    // Every station the archive holds.
    virtual HRESULT stations(std::vector<StationInfo>& out) const = 0;
    // Damage the engine's own check finds (nothing where the engine keeps no such check).
    virtual HRESULT integrityProblems(QStringList& problems) const = 0;
};

} // namespace archive

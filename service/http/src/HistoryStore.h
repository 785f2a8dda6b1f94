#pragma once

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveReader.h"
#include "archive/ArchiveStore.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace http {

// The server's read-only view of one station in the readings archive (a file or a database
// server), which the station's writer fills from another thread or program. Opened on first use
// and again after a failure, so a server that starts before the archive exists serves history
// once it does.
class HistoryStore {
public:
    // Readings of one span of a bucket grid: count, sums and extremes (without their times).
    struct Bucket {
        qint64 startMs = 0;
        qint64 endMs = 0;
        archive::ReadingStats stats;
    };
    // Above this many readings a range is never summed row by row.
    static constexpr qint64 kRowScanLimit = 200000;
    // The reading connection's page cache.
    static constexpr int kPageCacheKiB = 16384;

    // `location` names the station (for a file, the name it is shown under). List mode reads
    // only the list of stations.
    explicit HistoryStore(archive::ArchiveLocation location,
                          archive::ArchiveStore::Mode mode = archive::ArchiveStore::Mode::Read);
    ~HistoryStore();

    const QString& station() const { return m_location.station; }
    // Opens the archive when it is not open yet.
    com::HRESULT open();
    // Why the last call failed, for the client (never the file's path or the server's address).
    QString lastError() const { return m_lastError; }

    // Every station of the archive with its first and last reading and count.
    com::HRESULT stations(std::vector<archive::ArchiveStore::StationInfo>& out);

    // How many readings fromMs <= time < toMs holds, from the quarter-hour summaries and the
    // rows of the partial quarters at either end.
    com::HRESULT count(qint64 fromMs, qint64 toMs, qint64& n);
    com::HRESULT readings(qint64 fromMs, qint64 toMs,
                          const std::function<bool(const archive::Entry&)>& visit);
    // The range in at most `points` buckets, empty ones left out. Buckets are a whole number of
    // quarter hours on the quarters' grid when that is wide enough (or the range too long to sum
    // row by row), so whole quarters come from their summaries and only the two partial
    // quarters at the ends from the rows; narrower buckets are summed from the rows.
    // `total`, when known (not negative), is the range's count, which spares counting it again.
    com::HRESULT buckets(qint64 fromMs, qint64 toMs, int points, std::vector<Bucket>& out,
                         qint64& widthMs, qint64 total = -1);
    // The daily figures of brisora-archive daily: the days from..to that the archive covers.
    com::HRESULT daily(QDate from, QDate to, const QTimeZone& zone,
                       std::vector<archive::ArchiveReader::DailyRow>& rows);

private:
    using Grid = std::map<qint64, archive::ReadingStats>; // bucket index -> figures
    com::HRESULT sumRows(qint64 fromMs, qint64 toMs, qint64 originMs, qint64 widthMs, Grid& grid);
    com::HRESULT countQuarters(qint64 fromQuarter, qint64 toQuarter, qint64& n);
    com::HRESULT sumQuarters(qint64 fromQuarter, qint64 toQuarter, qint64 originQuarter,
                             qint64 widthQuarters, Grid& grid);
    com::HRESULT fail(com::HRESULT hr);

    archive::ArchiveLocation m_location;
    archive::ArchiveStore::Mode m_mode;
    std::unique_ptr<archive::ArchiveStore> m_db;
    QString m_lastError;
};

} // namespace http

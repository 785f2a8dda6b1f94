#include "HistoryStore.h"

#include "archive/ArchiveSchema.h"
#include "archive/LocalDays.h"
#include "archive/StoreFactory.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace http {

using archive::ReadingStats;
using archive::schema::kQuarterMs;
using com::HRESULT;

namespace {

qint64 ceilQuarter(qint64 ms) {
    return archive::schema::quarterOf(ms + kQuarterMs - 1);
}

// Folds one row of sums and extremes (count, then min, max, sum of each quantity) into a cell.
void fold(ReadingStats& cell, const QSqlQuery& q) {
    ReadingStats s;
    s.count = q.value(1).toLongLong();
    s.humidity.min = q.value(2).toDouble();
    s.humidity.max = q.value(3).toDouble();
    s.humidity.sum = q.value(4).toDouble();
    s.pressure.min = q.value(5).toDouble();
    s.pressure.max = q.value(6).toDouble();
    s.pressure.sum = q.value(7).toDouble();
    cell.merge(s);
}

HRESULT runGrouped(const archive::ArchiveReader& reader, QSqlQuery& q, const QString& sql,
                   std::initializer_list<QVariant> values, std::map<qint64, ReadingStats>& grid) {
    const HRESULT hr = reader.run(q, sql, values);
    while (com::succeeded(hr) && q.next()) {
        fold(grid[q.value(0).toLongLong()], q);
    }
    return reader.endOfRows(q, hr);
}

} // namespace

HistoryStore::HistoryStore(archive::ArchiveLocation location, archive::ArchiveStore::Mode mode)
    : m_location(std::move(location))
    , m_mode(mode) {}

HistoryStore::~HistoryStore() = default;

HRESULT HistoryStore::open() {
    if (m_db && m_db->isOpen()) {
        return com::S_OK;
    }
    if (!m_location.enabled || m_location.path.isEmpty()) {
        m_lastError = QStringLiteral("no archive is kept");
        return archive::E_ARCHIVE_MISSING;
    }
    m_db = archive::makeStore(m_location);
    const HRESULT hr = m_db->open(m_mode);
    if (com::failed(hr)) {
        return fail(hr);
    }
    // A year's quarter-hour summaries are a few MiB: kept in this connection's page cache, a
    // long range is summed without reading them from the file again while it is unchanged. A
    // refused setting only costs speed; a server keeps its own cache.
    if (m_db->connection().driverName() == QLatin1String("QSQLITE")) {
        QSqlQuery pragma(m_db->connection());
        (void)pragma.exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kPageCacheKiB));
    }
    return hr;
}

HRESULT HistoryStore::stations(std::vector<archive::ArchiveStore::StationInfo>& out) {
    out.clear();
    HRESULT hr = open();
    if (com::succeeded(hr)) {
        hr = m_db->stations(out);
    }
    return com::failed(hr) ? fail(hr) : hr;
}

HRESULT HistoryStore::fail(HRESULT hr) {
    switch (hr) {
    case archive::E_ARCHIVE_MISSING:
    case archive::E_ARCHIVE_EMPTY:
    case archive::E_ARCHIVE_NOSCHEMA:  // a database whose writer has not laid out the tables
    case archive::E_ARCHIVE_NOSTATION: // nor entered this station yet
        m_lastError = QStringLiteral("the archive holds no readings yet");
        break;
    default:
        m_lastError = QStringLiteral("the archive cannot be read (0x%1)")
                          .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0'));
    }
    if (m_db) {
        m_db->close(); // opened again on the next request
    }
    return hr;
}

HRESULT HistoryStore::count(qint64 fromMs, qint64 toMs, qint64& n) {
    n = 0;
    HRESULT hr = open();
    if (com::failed(hr) || fromMs >= toMs) {
        return hr;
    }
    Grid grid;
    const qint64 q0 = ceilQuarter(fromMs);
    const qint64 q1 = archive::schema::quarterOf(toMs);
    if (q0 >= q1) {
        hr = sumRows(fromMs, toMs, fromMs, toMs - fromMs, grid);
    } else {
        hr = sumRows(fromMs, q0 * kQuarterMs, fromMs, toMs - fromMs, grid);
        if (com::succeeded(hr)) {
            hr = countQuarters(q0, q1, n);
        }
        if (com::succeeded(hr)) {
            hr = sumRows(q1 * kQuarterMs, toMs, fromMs, toMs - fromMs, grid);
        }
    }
    for (const auto& [index, cell] : grid) {
        n += cell.count;
    }
    return com::failed(hr) ? fail(hr) : hr;
}

HRESULT HistoryStore::readings(qint64 fromMs, qint64 toMs,
                               const std::function<bool(const archive::Entry&)>& visit) {
    HRESULT hr = open();
    if (com::succeeded(hr)) {
        hr = archive::ArchiveReader(*m_db).readings(fromMs, toMs, visit);
    }
    return com::failed(hr) ? fail(hr) : hr;
}

HRESULT HistoryStore::buckets(qint64 fromMs, qint64 toMs, int points, std::vector<Bucket>& out,
                              qint64& widthMs, qint64 total) {
    out.clear();
    HRESULT hr = open();
    if (com::failed(hr) || fromMs >= toMs) {
        return hr;
    }
    const qint64 span = toMs - fromMs;
    points = std::max(points, 1);
    qint64 width = (span + points - 1) / points;
    // Buckets of a quarter or more always come from the summaries; narrower ones only when the
    // range holds too many readings to sum row by row.
    bool onQuarters = width >= kQuarterMs;
    if (!onQuarters) {
        if (total < 0) {
            hr = count(fromMs, toMs, total);
        }
        if (com::failed(hr)) {
            return hr;
        }
        onQuarters = total > kRowScanLimit;
    }
    qint64 origin = fromMs;
    Grid grid;
    if (onQuarters) {
        origin = archive::schema::quarterOf(fromMs) * kQuarterMs;
        width = std::max<qint64>(1, (width + kQuarterMs - 1) / kQuarterMs) * kQuarterMs;
        while ((toMs - 1 - origin) / width + 1 > points) {
            width += kQuarterMs;
        }
        const qint64 q0 = ceilQuarter(fromMs);
        const qint64 q1 = std::max(q0, archive::schema::quarterOf(toMs));
        hr = sumRows(fromMs, std::min(toMs, q0 * kQuarterMs), origin, width, grid);
        if (com::succeeded(hr) && q0 < q1) {
            hr = sumQuarters(q0, q1, origin / kQuarterMs, width / kQuarterMs, grid);
        }
        if (com::succeeded(hr) && q1 * kQuarterMs < toMs && q1 * kQuarterMs > fromMs) {
            hr = sumRows(q1 * kQuarterMs, toMs, origin, width, grid);
        }
    } else {
        hr = sumRows(fromMs, toMs, origin, width, grid);
    }
    if (com::failed(hr)) {
        return fail(hr);
    }
    widthMs = width;
    out.reserve(grid.size());
    for (const auto& [index, cell] : grid) {
        const qint64 start = origin + index * width;
        out.push_back({std::max(fromMs, start), std::min(toMs, start + width), cell});
    }
    return hr;
}

HRESULT HistoryStore::sumRows(qint64 fromMs, qint64 toMs, qint64 originMs, qint64 widthMs,
                              Grid& grid) {
    if (fromMs >= toMs) {
        return com::S_OK;
    }
    QSqlQuery q(m_db->connection());
    return runGrouped(archive::ArchiveReader(*m_db), q,
                      QStringLiteral("SELECT (time_ms - ?) / ? AS b, count(*), min(humidity_pct), "
                                     "max(humidity_pct), sum(humidity_pct), min(pressure_kpa), "
                                     "max(pressure_kpa), sum(pressure_kpa) FROM readings "
                                     "WHERE @station AND time_ms >= ? AND time_ms < ? GROUP BY b"),
                      {originMs, widthMs, fromMs, toMs}, grid);
}

HRESULT HistoryStore::sumQuarters(qint64 fromQuarter, qint64 toQuarter, qint64 originQuarter,
                                  qint64 widthQuarters, Grid& grid) {
    QSqlQuery q(m_db->connection());
    return runGrouped(
        archive::ArchiveReader(*m_db), q,
        QStringLiteral("SELECT (quarter - ?) / ? AS b, sum(count), min(humidity_min), "
                       "max(humidity_max), sum(humidity_sum), min(pressure_min), "
                       "max(pressure_max), sum(pressure_sum) FROM quarter_hours "
                       "WHERE @station AND quarter >= ? AND quarter < ? AND count > 0 "
                       "GROUP BY b"),
        {originQuarter, widthQuarters, fromQuarter, toQuarter}, grid);
}

HRESULT HistoryStore::countQuarters(qint64 fromQuarter, qint64 toQuarter, qint64& n) {
    const archive::ArchiveReader reader(*m_db);
    QSqlQuery q(m_db->connection());
    HRESULT hr = reader.run(q,
                            QStringLiteral("SELECT coalesce(sum(count), 0) FROM quarter_hours "
                                           "WHERE @station AND quarter >= ? AND quarter < ?"),
                            {fromQuarter, toQuarter});
    if (com::succeeded(hr) && q.next()) {
        n += q.value(0).toLongLong();
    }
    return reader.endOfRows(q, hr);
}

HRESULT HistoryStore::daily(QDate from, QDate to, const QTimeZone& zone,
                            std::vector<archive::ArchiveReader::DailyRow>& rows) {
    rows.clear();
    HRESULT hr = open();
    archive::ArchiveReader::Summary whole;
    if (com::succeeded(hr)) {
        hr = archive::ArchiveReader(*m_db).firstAndLast(whole);
    }
    if (com::failed(hr)) {
        return fail(hr);
    }
    if (whole.count == 0) {
        return hr;
    }
    // Only the days the archive covers, however wide the range asked for.
    const QDate first = std::max(from, archive::LocalDay::dateOf(whole.firstMs, zone));
    const QDate last = std::min(to, archive::LocalDay::dateOf(whole.lastMs, zone));
    if (first <= last) {
        hr = archive::ArchiveReader(*m_db).daily(first, last, zone, rows);
    }
    return com::failed(hr) ? fail(hr) : hr;
}

} // namespace http

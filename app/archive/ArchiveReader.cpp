#include "ArchiveReader.h"

#include "ArchiveSchema.h"

#include <QSqlError>
#include <QVariant>

#include <initializer_list>

namespace archive {

namespace {

// What a failed statement says: a damaged or locked file, or else a read fault.
HRESULT readFailure(const QSqlQuery& query) {
    return fromSqlError(query.lastError(), com::STG_E_READFAULT);
}

// After the last row: a query whose rows stopped at an error (damage met half-way) fails.
HRESULT endOfRows(const QSqlQuery& query, HRESULT hr) {
    return com::succeeded(hr) && query.lastError().isValid() ? readFailure(query) : hr;
}

// Prepares and runs one statement with its values bound in order.
HRESULT run(QSqlQuery& query, const QString& sql, std::initializer_list<QVariant> values) {
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        return readFailure(query);
    }
    int i = 0;
    for (const QVariant& v : values) {
        query.bindValue(i++, v);
    }
    return query.exec() ? com::S_OK : readFailure(query);
}

QuantityStats quantityAt(const QSqlQuery& query, int first) {
    QuantityStats s;
    s.sum = query.value(first).toDouble();
    s.min = query.value(first + 1).toDouble();
    s.minMs = query.value(first + 2).toLongLong();
    s.max = query.value(first + 3).toDouble();
    s.maxMs = query.value(first + 4).toLongLong();
    return s;
}

bool alignedToQuarters(const LocalDay& day) {
    return day.startMs % schema::kQuarterMs == 0 && day.endMs % schema::kQuarterMs == 0;
}

} // namespace

HRESULT ArchiveReader::readings(qint64 fromMs, qint64 toMs,
                                const std::function<bool(const Entry&)>& visit) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr =
        run(query,
            QStringLiteral("SELECT time_ms, humidity_pct, pressure_kpa, raw_humidity, "
                           "raw_pressure FROM readings WHERE time_ms >= ? AND "
                           "time_ms < ? ORDER BY time_ms, seq"),
            {fromMs, toMs});
    while (com::succeeded(hr) && query.next()) {
        const Entry e =
            Entry::reading(query.value(0).toLongLong(), query.value(1).toDouble(),
                           query.value(2).toDouble(), static_cast<quint16>(query.value(3).toUInt()),
                           static_cast<quint16>(query.value(4).toUInt()));
        if (!visit(e)) {
            return hr;
        }
    }
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::daily(QDate from, QDate to, const QTimeZone& zone,
                             std::vector<DailyRow>& rows) const {
    rows.clear();
    const std::vector<LocalDay> days = LocalDay::range(from, to, zone);
    if (days.empty()) {
        return com::S_OK;
    }
    std::vector<std::pair<qint64, ReadingStats>> summaries;
    HRESULT hr = quarters(schema::quarterOf(days.front().startMs),
                          schema::quarterOf(days.back().endMs) + 1, summaries);
    auto next = summaries.cbegin();
    for (const LocalDay& day : days) {
        if (com::failed(hr)) {
            break;
        }
        DailyRow row{day.date, {}};
        if (alignedToQuarters(day)) {
            const qint64 firstQuarter = day.startMs / schema::kQuarterMs;
            const qint64 endQuarter = day.endMs / schema::kQuarterMs;
            while (next != summaries.cend() && next->first < firstQuarter) {
                ++next;
            }
            for (; next != summaries.cend() && next->first < endQuarter; ++next) {
                row.stats.merge(next->second);
            }
        } else {
            hr = statsFromReadings(day.startMs, day.endMs, row.stats);
        }
        if (!row.stats.isEmpty()) {
            rows.push_back(row);
        }
    }
    return hr;
}

HRESULT ArchiveReader::quarters(qint64 fromQuarter, qint64 toQuarter,
                                std::vector<std::pair<qint64, ReadingStats>>& out) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr = run(query,
                           QStringLiteral("SELECT quarter, count, humidity_sum, humidity_min, "
                                          "humidity_min_ms, humidity_max, humidity_max_ms, "
                                          "pressure_sum, pressure_min, pressure_min_ms, "
                                          "pressure_max, pressure_max_ms FROM quarter_hours "
                                          "WHERE quarter >= ? AND quarter < ? ORDER BY quarter"),
                           {fromQuarter, toQuarter});
    while (com::succeeded(hr) && query.next()) {
        ReadingStats s;
        s.count = query.value(1).toLongLong();
        s.humidity = quantityAt(query, 2);
        s.pressure = quantityAt(query, 7);
        out.emplace_back(query.value(0).toLongLong(), s);
    }
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::statsFromReadings(qint64 fromMs, qint64 toMs, ReadingStats& stats) const {
    stats = {};
    QSqlQuery query(m_db.connection());
    HRESULT hr = run(query,
                     QStringLiteral("SELECT count(*), total(humidity_pct), min(humidity_pct), "
                                    "max(humidity_pct), total(pressure_kpa), min(pressure_kpa), "
                                    "max(pressure_kpa) FROM readings "
                                    "WHERE time_ms >= ? AND time_ms < ?"),
                     {fromMs, toMs});
    if (com::failed(hr) || !query.next() || query.value(0).toLongLong() == 0) {
        return endOfRows(query, hr);
    }
    stats.count = query.value(0).toLongLong();
    const auto fill = [&](QuantityStats& q, const char* column, int first) {
        q.sum = query.value(first).toDouble();
        q.min = query.value(first + 1).toDouble();
        q.max = query.value(first + 2).toDouble();
        if (com::succeeded(hr)) {
            hr = extremeTime(column, q.min, fromMs, toMs, q.minMs);
        }
        if (com::succeeded(hr)) {
            hr = extremeTime(column, q.max, fromMs, toMs, q.maxMs);
        }
    };
    fill(stats.humidity, "humidity_pct", 1);
    fill(stats.pressure, "pressure_kpa", 4);
    return hr;
}

HRESULT ArchiveReader::extremeTime(const char* column, double value, qint64 fromMs, qint64 toMs,
                                   qint64& timeMs) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr = run(query,
                           QStringLiteral("SELECT min(time_ms) FROM readings WHERE time_ms >= ? "
                                          "AND time_ms < ? AND %1 = ?")
                               .arg(QLatin1StringView(column)),
                           {fromMs, toMs, value});
    if (com::succeeded(hr) && query.next()) {
        timeMs = query.value(0).toLongLong();
    }
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::summary(qint64 gapMs, Summary& out) const {
    out = {};
    HRESULT hr = firstAndLast(out);
    if (com::succeeded(hr)) {
        hr = failureCounts(out);
    }
    if (com::succeeded(hr) && out.count > 0) {
        hr = gaps(gapMs, out);
    }
    return hr;
}

HRESULT ArchiveReader::firstAndLast(Summary& out) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr = run(query,
                           QStringLiteral("SELECT (SELECT total(count) FROM quarter_hours), "
                                          "(SELECT min(time_ms) FROM readings), "
                                          "(SELECT max(time_ms) FROM readings)"),
                           {});
    if (com::succeeded(hr) && query.next()) {
        out.count = query.value(0).toLongLong();
        out.firstMs = query.value(1).toLongLong();
        out.lastMs = query.value(2).toLongLong();
    }
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::failureCounts(Summary& out) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr =
        run(query, QStringLiteral("SELECT kind, count(*) FROM failures GROUP BY kind"), {});
    while (com::succeeded(hr) && query.next()) {
        if (const auto kind = failureKindFromName(query.value(0).toString())) {
            out.failures[*kind] = query.value(1).toLongLong();
        }
    }
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::gaps(qint64 gapMs, Summary& out) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr = run(query,
                           QStringLiteral("SELECT previous, time_ms FROM (SELECT time_ms, "
                                          "lag(time_ms) OVER (ORDER BY time_ms, seq) AS previous "
                                          "FROM readings) WHERE time_ms - previous > ?"),
                           {gapMs});
    while (com::succeeded(hr) && query.next()) {
        out.gaps.push_back({query.value(0).toLongLong(), query.value(1).toLongLong()});
    }
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::check(QStringList& problems) const {
    problems.clear();
    QSqlQuery query(m_db.connection());
    HRESULT hr = run(query, QStringLiteral("PRAGMA integrity_check"), {});
    while (com::succeeded(hr) && query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1StringView("ok")) {
            problems << line;
        }
    }
    hr = endOfRows(query, hr);
    QSqlQuery counts(m_db.connection());
    if (com::succeeded(hr)) {
        hr = run(counts,
                 QStringLiteral("SELECT (SELECT count(*) FROM readings), "
                                "(SELECT total(count) FROM quarter_hours)"),
                 {});
    }
    if (com::succeeded(hr) && counts.next() &&
        counts.value(0).toLongLong() != counts.value(1).toLongLong()) {
        problems << QStringLiteral("los resúmenes cuentan %1 lecturas y el archivo guarda %2")
                        .arg(counts.value(1).toLongLong())
                        .arg(counts.value(0).toLongLong());
    }
    return endOfRows(counts, hr);
}

} // namespace archive

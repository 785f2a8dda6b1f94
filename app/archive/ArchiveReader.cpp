#include "ArchiveReader.h"

#include "ArchiveSchema.h"

#include <QSqlError>
#include <QVariant>

#include <algorithm>
#include <initializer_list>

namespace archive {

namespace {

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

HRESULT ArchiveReader::readFailure(const QSqlQuery& query) const {
    return m_db.codeOf(query.lastError(), com::STG_E_READFAULT);
}

HRESULT ArchiveReader::endOfRows(const QSqlQuery& query, HRESULT hr) const {
    // A query whose rows stopped at an error (damage met half-way) fails.
    return com::succeeded(hr) && query.lastError().isValid() ? readFailure(query) : hr;
}

HRESULT ArchiveReader::run(QSqlQuery& query, const QString& sql,
                           std::initializer_list<QVariant> values) const {
    query.setForwardOnly(true);
    QString text = sql;
    text.replace(QLatin1StringView("@station"), m_db.stationCondition());
    if (!query.prepare(text)) {
        return readFailure(query);
    }
    int i = 0;
    for (const QVariant& v : values) {
        query.bindValue(i++, v);
    }
    return query.exec() ? com::S_OK : readFailure(query);
}

HRESULT ArchiveReader::runForRow(QSqlQuery& query, const QString& sql,
                                 std::initializer_list<QVariant> values, bool& row) const {
    const HRESULT hr = run(query, sql, values);
    row = com::succeeded(hr) && query.next();
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::readings(qint64 fromMs, qint64 toMs,
                                const std::function<bool(const Entry&)>& visit) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr =
        run(query,
            QStringLiteral("SELECT time_ms, humidity_pct, pressure_kpa, raw_humidity, "
                           "raw_pressure FROM readings WHERE @station AND time_ms >= ? AND "
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

HRESULT ArchiveReader::entries(qint64 fromMs, qint64 toMs, std::vector<Entry>& out) const {
    out.clear();
    HRESULT hr = readings(fromMs, toMs, [&](const Entry& e) {
        out.push_back(e);
        return true;
    });
    QSqlQuery query(m_db.connection());
    if (com::succeeded(hr)) {
        hr = run(query,
                 QStringLiteral("SELECT time_ms, kind FROM failures WHERE @station AND "
                                "time_ms >= ? AND time_ms < ? ORDER BY time_ms, seq"),
                 {fromMs, toMs});
    }
    while (com::succeeded(hr) && query.next()) {
        // A kind this program does not know (written by a newer one) is left out.
        if (const auto kind = failureKindFromName(query.value(1).toString())) {
            out.push_back(Entry::failure(query.value(0).toLongLong(), *kind));
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Entry& a, const Entry& b) { return a.timeMs < b.timeMs; });
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::nextTime(qint64 fromMs, std::optional<qint64>& timeMs) const {
    timeMs.reset();
    QSqlQuery query(m_db.connection());
    bool row = false;
    const HRESULT hr = runForRow(query,
                                 QStringLiteral("SELECT min(t) FROM (SELECT min(time_ms) AS t "
                                                "FROM readings WHERE @station AND time_ms >= ? "
                                                "UNION ALL SELECT min(time_ms) FROM failures "
                                                "WHERE @station AND time_ms >= ?) AS a"),
                                 {fromMs, fromMs}, row);
    if (row && !query.value(0).isNull()) {
        timeMs = query.value(0).toLongLong();
    }
    return hr;
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
    const HRESULT hr =
        run(query,
            QStringLiteral("SELECT quarter, count, humidity_sum, humidity_min, "
                           "humidity_min_ms, humidity_max, humidity_max_ms, "
                           "pressure_sum, pressure_min, pressure_min_ms, "
                           "pressure_max, pressure_max_ms FROM quarter_hours "
                           "WHERE @station AND quarter >= ? AND quarter < ? ORDER BY quarter"),
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
                     QStringLiteral("SELECT count(*), coalesce(sum(humidity_pct), 0), "
                                    "min(humidity_pct), max(humidity_pct), "
                                    "coalesce(sum(pressure_kpa), 0), min(pressure_kpa), "
                                    "max(pressure_kpa) FROM readings "
                                    "WHERE @station AND time_ms >= ? AND time_ms < ?"),
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
    bool row = false;
    const HRESULT hr = runForRow(query,
                                 QStringLiteral("SELECT min(time_ms) FROM readings WHERE @station "
                                                "AND time_ms >= ? AND time_ms < ? AND %1 = ?")
                                     .arg(QLatin1StringView(column)),
                                 {fromMs, toMs, value}, row);
    if (row) {
        timeMs = query.value(0).toLongLong();
    }
    return hr;
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
    bool row = false;
    const HRESULT hr = runForRow(query,
                                 QStringLiteral("SELECT (SELECT coalesce(sum(count), 0) FROM "
                                                "quarter_hours WHERE @station), "
                                                "(SELECT min(time_ms) FROM readings WHERE "
                                                "@station), (SELECT max(time_ms) FROM readings "
                                                "WHERE @station)"),
                                 {}, row);
    if (row) {
        out.count = query.value(0).toLongLong();
        out.firstMs = query.value(1).toLongLong();
        out.lastMs = query.value(2).toLongLong();
    }
    return hr;
}

HRESULT ArchiveReader::failureCounts(Summary& out) const {
    QSqlQuery query(m_db.connection());
    const HRESULT hr = run(query,
                           QStringLiteral("SELECT kind, count(*) FROM failures WHERE @station "
                                          "GROUP BY kind"),
                           {});
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
                                          "FROM readings WHERE @station) AS r "
                                          "WHERE time_ms - previous > ?"),
                           {gapMs});
    while (com::succeeded(hr) && query.next()) {
        out.gaps.push_back({query.value(0).toLongLong(), query.value(1).toLongLong()});
    }
    return endOfRows(query, hr);
}

HRESULT ArchiveReader::check(QStringList& problems) const {
    problems.clear();
    HRESULT hr = m_db.integrityProblems(problems);
    QSqlQuery counts(m_db.connection());
    if (com::succeeded(hr)) {
        hr = run(counts,
                 QStringLiteral("SELECT (SELECT count(*) FROM readings WHERE @station), "
                                "(SELECT coalesce(sum(count), 0) FROM quarter_hours "
                                "WHERE @station)"),
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

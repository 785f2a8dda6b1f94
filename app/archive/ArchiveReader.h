#pragma once

#include "ArchiveStore.h"
#include "LocalDays.h"
#include "ReadingStats.h"

#include <QSqlQuery>

#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <vector>

namespace archive {

// The queries behind brisora-archive, on an open archive, about the store's station.
class ArchiveReader {
public:
    struct DailyRow {
        QDate date;
        ReadingStats stats;
    };
    struct Gap {
        qint64 fromMs; // the last reading before the gap
        qint64 toMs;   // the first reading after it
    };
    struct Summary {
        qint64 count = 0;
        qint64 firstMs = 0;
        qint64 lastMs = 0;
        std::map<EntryKind, qint64> failures;
        std::vector<Gap> gaps;
    };

    explicit ArchiveReader(const ArchiveStore& database)
        : m_db(database) {}

    // Every reading with fromMs <= time < toMs, in time order (ticks of the same millisecond
    // in the order they were taken). Stops early when visit returns false.
    HRESULT readings(qint64 fromMs, qint64 toMs,
                     const std::function<bool(const Entry&)>& visit) const;

    // Every reading and failed tick with fromMs <= time < toMs, in time order.
    HRESULT entries(qint64 fromMs, qint64 toMs, std::vector<Entry>& out) const;
    // The time of the first reading or failed tick at or after fromMs; none when there is none.
    HRESULT nextTime(qint64 fromMs, std::optional<qint64>& timeMs) const;

    // Per local day from..to (days without readings left out): count, extremes with their
    // times and the sums for the means.
    HRESULT daily(QDate from, QDate to, const QTimeZone& zone, std::vector<DailyRow>& rows) const;

    // Figures of a span straight from the readings (slow on long spans; the daily table uses
    // the quarter-hour summaries where it can).
    HRESULT statsFromReadings(qint64 fromMs, qint64 toMs, ReadingStats& stats) const;

    // First and last reading, count, failures per kind and the gaps between readings longer
    // than gapMs. An archive without readings gives a count of 0.
    HRESULT summary(qint64 gapMs, Summary& out) const;

    // Only the first and last reading and the count, without going through the readings.
    HRESULT firstAndLast(Summary& out) const;

    // The engine's integrity check and the summaries against the readings; problems found, or
    // nothing when the archive is sound.
    HRESULT check(QStringList& problems) const;

    // Prepares and runs one statement of the caller's with its values bound in order;
    // "@station" in it stands for the store's station condition.
    HRESULT run(QSqlQuery& query, const QString& sql, std::initializer_list<QVariant> values) const;
    // hr, or the failure that ended the query's rows half-way (damage met on the way).
    HRESULT endOfRows(const QSqlQuery& query, HRESULT hr) const;

private:
    HRESULT readFailure(const QSqlQuery& query) const;
    // Runs a statement that gives one row and steps onto it; `row` says whether there is one.
    HRESULT runForRow(QSqlQuery& query, const QString& sql, std::initializer_list<QVariant> values,
                      bool& row) const;
    HRESULT quarters(qint64 fromQuarter, qint64 toQuarter,
                     std::vector<std::pair<qint64, ReadingStats>>& out) const;
    HRESULT failureCounts(Summary& out) const;
    HRESULT gaps(qint64 gapMs, Summary& out) const;
    HRESULT extremeTime(const char* column, double value, qint64 fromMs, qint64 toMs,
                        qint64& timeMs) const;

    const ArchiveStore& m_db;
};

} // namespace archive

#include "ArchiveSchema.h"

namespace archive::schema {

namespace {

// Version 1: readings and failed ticks keyed by time (seq tells apart ticks stamped with the
// same millisecond after the clock was set back), and the quarter-hour summaries.
QStringList version1() {
    const QString quantity =
        QStringLiteral("%1_sum REAL NOT NULL, %1_min REAL NOT NULL, %1_min_ms INTEGER NOT NULL, "
                       "%1_max REAL NOT NULL, %1_max_ms INTEGER NOT NULL");
    return {
        QStringLiteral("CREATE TABLE readings (time_ms INTEGER NOT NULL, seq INTEGER NOT NULL, "
                       "humidity_pct REAL NOT NULL, pressure_kpa REAL NOT NULL, "
                       "raw_humidity INTEGER NOT NULL CHECK (raw_humidity BETWEEN 0 AND 65535), "
                       "raw_pressure INTEGER NOT NULL CHECK (raw_pressure BETWEEN 0 AND 65535), "
                       "PRIMARY KEY (time_ms, seq)) WITHOUT ROWID"),
        QStringLiteral("CREATE TABLE failures (time_ms INTEGER NOT NULL, seq INTEGER NOT NULL, "
                       "kind TEXT NOT NULL "
                       "CHECK (kind IN ('timeout', 'port_lost', 'port_cannot_open')), "
                       "PRIMARY KEY (time_ms, seq)) WITHOUT ROWID"),
        QStringLiteral("CREATE TABLE quarter_hours (quarter INTEGER PRIMARY KEY, "
                       "count INTEGER NOT NULL, %1, %2)")
            .arg(quantity.arg(QStringLiteral("humidity")),
                 quantity.arg(QStringLiteral("pressure"))),
    };
}

} // namespace

const std::vector<Migration>& migrations() {
    static const std::vector<Migration> steps{{1, version1()}};
    return steps;
}

qint64 quarterOf(qint64 timeMs) {
    const qint64 q = timeMs / kQuarterMs;
    return (timeMs % kQuarterMs < 0) ? q - 1 : q;
}

} // namespace archive::schema

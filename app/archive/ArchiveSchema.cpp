#include "ArchiveSchema.h"

namespace archive::schema {

namespace {

// Version 1: readings and failed ticks keyed by time (seq tells apart ticks stamped with the
// same millisecond after the clock was set back), and the quarter-hour summaries.
// The failures table, with the kinds a version admits.
QString failuresTable(const QString& name, const QString& kinds) {
    return QStringLiteral("CREATE TABLE %1 (time_ms INTEGER NOT NULL, seq INTEGER NOT NULL, "
                          "kind TEXT NOT NULL CHECK (kind IN (%2)), "
                          "PRIMARY KEY (time_ms, seq)) WITHOUT ROWID")
        .arg(name, kinds);
}

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
        failuresTable(QStringLiteral("failures"),
                      QStringLiteral("'timeout', 'port_lost', 'port_cannot_open'")),
        QStringLiteral("CREATE TABLE quarter_hours (quarter INTEGER PRIMARY KEY, "
                       "count INTEGER NOT NULL, %1, %2)")
            .arg(quantity.arg(QStringLiteral("humidity")),
                 quantity.arg(QStringLiteral("pressure"))),
    };
}

// Version 2: two more failure kinds, a reply whose check sum stayed wrong ('checksum') and a
// station that answered with error frames only ('stall'). SQLite cannot change a CHECK in
// place: the table is copied into one that admits them.
QStringList version2() {
    return {
        failuresTable(QStringLiteral("failures_v2"),
                      QStringLiteral("'timeout', 'port_lost', 'port_cannot_open', 'checksum', "
                                     "'stall'")),
        QStringLiteral("INSERT INTO failures_v2 SELECT time_ms, seq, kind FROM failures"),
        QStringLiteral("DROP TABLE failures"),
        QStringLiteral("ALTER TABLE failures_v2 RENAME TO failures"),
    };
}

} // namespace

const std::vector<Migration>& migrations() {
    static const std::vector<Migration> steps{{1, version1()}, {2, version2()}};
    return steps;
}

qint64 quarterOf(qint64 timeMs) {
    const qint64 q = timeMs / kQuarterMs;
    return (timeMs % kQuarterMs < 0) ? q - 1 : q;
}

} // namespace archive::schema

#pragma once

#include "archive/ArchiveEntry.h"
#include "archive/ReadingStats.h"

#include <QJsonObject>
#include <QTimeZone>

namespace http {

// The API's JSON forms: every time twice, as ISO 8601 local time with its offset ("time") and as
// UTC milliseconds ("time_ms"); quantities in their units' names.
class JsonFormat {
public:
    explicit JsonFormat(QTimeZone zone)
        : m_zone(std::move(zone)) {}

    QString isoTime(qint64 timeMs) const;
    // {"<prefix>": iso, "<prefix>_ms": ms} added to `o`.
    void addTime(QJsonObject& o, const QString& prefix, qint64 timeMs) const;

    // A tick: {"kind": "reading"|failure kind, time, time_ms, and for a reading the values}.
    QJsonObject entry(const archive::Entry& e) const;
    // {"min", "max", "mean"} of one quantity; with their times when `withTimes`.
    QJsonObject quantity(const archive::QuantityStats& q, qint64 count, bool withTimes) const;
    // {"count", "humidity_pct": quantity, "pressure_kpa": quantity}.
    QJsonObject stats(const archive::ReadingStats& s, bool withTimes) const;

private:
    // The offset and its text hold from `fromMs` until the zone's next transition: a run of
    // times (a year of buckets) looks the zone up once per offset, not once per time.
    struct OffsetSpan {
        qint64 fromMs = 1;
        qint64 toMs = 0; // empty until the first look-up
        qint64 offsetMs = 0;
        QString suffix; // the offset as the ISO text ends with it
    };
    const OffsetSpan& offsetAt(qint64 timeMs) const;

    QTimeZone m_zone;
    mutable OffsetSpan m_span;
};

} // namespace http

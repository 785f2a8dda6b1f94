#pragma once

#include "DeferredReply.h"
#include "JsonFormat.h"
#include "StationHistories.h"

#include <QDate>
#include <QTimeZone>

namespace http {

// The answers of the routes that read the archive, made on the archive's worker from checked
// parameters. Each builds its own JSON forms: nothing here is shared with the server's thread.
class HistoryQueries {
public:
    explicit HistoryQueries(const QTimeZone& zone)
        : m_zone(zone)
        , m_json(zone) {}

    // Readings fromMs <= time < toMs: the rows when they are at most `points`, else at most
    // `points` buckets.
    HistoryAnswer readings(StationHistories& histories, const QString& station, qint64 fromMs,
                           qint64 toMs, int points);
    // The days from..to of the service's zone.
    HistoryAnswer daily(StationHistories& histories, const QString& station, QDate from, QDate to);
    HistoryAnswer stations(StationHistories& histories);
    // 200 with an empty body when the station's history can be read, else the error.
    HistoryAnswer readable(StationHistories& histories, const QString& station);

private:
    // The history of `station` (the service's own when empty), or null with the 404 or 503.
    static std::shared_ptr<HistoryStore> historyFor(StationHistories& histories,
                                                    const QString& station, HistoryAnswer& failed);
    static HistoryAnswer error(Status status, const QString& message);
    QJsonObject bucketed(const std::vector<HistoryStore::Bucket>& buckets, qint64 widthMs) const;

    QTimeZone m_zone;
    JsonFormat m_json;
};

} // namespace http

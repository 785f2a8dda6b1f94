#include "HistoryQueries.h"

#include "archive/ArchiveSchema.h"

#include <QJsonArray>

namespace http {

using com::HRESULT;

HistoryAnswer HistoryQueries::error(Status status, const QString& message) {
    return {status, {{QStringLiteral("error"), message}}};
}

std::shared_ptr<HistoryStore> HistoryQueries::historyFor(StationHistories& histories,
                                                         const QString& station,
                                                         HistoryAnswer& failed) {
    std::shared_ptr<HistoryStore> found;
    if (histories.find(station, found) == StationHistories::Found::NoSuchStation) {
        failed = error(Status::NotFound,
                       QStringLiteral("station: the archive holds no station %1").arg(station));
        return nullptr;
    }
    return found;
}

HistoryAnswer HistoryQueries::readable(StationHistories& histories, const QString& station) {
    HistoryAnswer out;
    const auto history = historyFor(histories, station, out);
    if (history && com::failed(history->open())) {
        return error(Status::ServiceUnavailable, history->lastError());
    }
    return out;
}

HistoryAnswer HistoryQueries::stations(StationHistories& histories) {
    std::vector<archive::ArchiveStore::StationInfo> found;
    if (com::failed(histories.stations(found))) {
        return error(Status::ServiceUnavailable, histories.lastError());
    }
    QJsonArray list;
    for (const auto& info : found) {
        QJsonObject o{{QStringLiteral("name"), info.name}, {QStringLiteral("count"), info.count}};
        for (const auto& [prefix, ms] : {std::pair{QStringLiteral("first"), info.firstMs},
                                         std::pair{QStringLiteral("last"), info.lastMs}}) {
            if (info.count > 0) {
                m_json.addTime(o, prefix, ms);
            } else {
                o.insert(prefix, QJsonValue::Null);
                o.insert(prefix + QStringLiteral("_ms"), QJsonValue::Null);
            }
        }
        list.append(o);
    }
    return {
        Status::Ok,
        {{QStringLiteral("station"), histories.ownStation()}, {QStringLiteral("stations"), list}}};
}

// Buckets wider than a quarter hour come from the summaries and carry the range's count with
// them, so a long range is read once; a short one is counted first (cheaply) and read as rows
// when it holds no more than `points`.
HistoryAnswer HistoryQueries::readings(StationHistories& histories, const QString& station,
                                       qint64 fromMs, qint64 toMs, int points) {
    HistoryAnswer out;
    const auto history = historyFor(histories, station, out);
    if (!history) {
        return out;
    }
    std::vector<HistoryStore::Bucket> buckets;
    qint64 width = 0;
    qint64 total = 0;
    HRESULT hr = com::S_OK;
    const bool wide = fromMs < toMs && (toMs - fromMs) / points >= archive::schema::kQuarterMs;
    if (wide) {
        hr = history->buckets(fromMs, toMs, points, buckets, width);
        for (const auto& b : buckets) {
            total += b.stats.count;
        }
    } else {
        hr = history->count(fromMs, toMs, total);
        if (com::succeeded(hr) && total > points) {
            hr = history->buckets(fromMs, toMs, points, buckets, width, total);
        }
    }
    QJsonObject o;
    if (com::succeeded(hr) && total > points) {
        o = bucketed(buckets, width);
    } else if (com::succeeded(hr)) {
        QJsonArray rows;
        hr = history->readings(fromMs, toMs, [&](const archive::Entry& e) {
            QJsonObject r = m_json.entry(e);
            r.remove(QStringLiteral("kind"));
            rows.append(r);
            return true;
        });
        o.insert(QStringLiteral("bucketed"), false);
        o.insert(QStringLiteral("readings"), rows);
    }
    if (com::failed(hr)) {
        return error(Status::ServiceUnavailable, history->lastError());
    }
    o.insert(QStringLiteral("station"), history->station());
    m_json.addTime(o, QStringLiteral("from"), fromMs);
    m_json.addTime(o, QStringLiteral("to"), toMs);
    o.insert(QStringLiteral("count"), total);
    return {Status::Ok, o};
}

QJsonObject HistoryQueries::bucketed(const std::vector<HistoryStore::Bucket>& buckets,
                                     qint64 widthMs) const {
    QJsonArray rows;
    for (const auto& b : buckets) {
        QJsonObject r = m_json.stats(b.stats, false);
        m_json.addTime(r, QStringLiteral("start"), b.startMs);
        m_json.addTime(r, QStringLiteral("end"), b.endMs);
        rows.append(r);
    }
    return {{QStringLiteral("bucketed"), true},
            {QStringLiteral("bucket_ms"), widthMs},
            {QStringLiteral("buckets"), rows}};
}

HistoryAnswer HistoryQueries::daily(StationHistories& histories, const QString& station, QDate from,
                                    QDate to) {
    HistoryAnswer out;
    const auto history = historyFor(histories, station, out);
    if (!history) {
        return out;
    }
    std::vector<archive::ArchiveReader::DailyRow> rows;
    if (com::failed(history->daily(from, to, m_zone, rows))) {
        return error(Status::ServiceUnavailable, history->lastError());
    }
    QJsonArray days;
    for (const auto& row : rows) {
        QJsonObject d = m_json.stats(row.stats, true);
        d.insert(QStringLiteral("date"), row.date.toString(Qt::ISODate));
        days.append(d);
    }
    return {Status::Ok,
            {{QStringLiteral("station"), history->station()},
             {QStringLiteral("from"), from.toString(Qt::ISODate)},
             {QStringLiteral("to"), to.toString(Qt::ISODate)},
             {QStringLiteral("days"), days}}};
}

} // namespace http

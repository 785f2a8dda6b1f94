#include "ApiRoutes.h"

#include "ApiParams.h"
#include "CsvExport.h"

#include "archive/LocalDays.h"

#include <QJsonArray>
#include <QTcpSocket>

#include <limits>

namespace http {

using com::HRESULT;

ApiRoutes::ApiRoutes(const WebOptions& options, const LiveState& live, StationHistories& histories,
                     std::function<qint64()> clock)
    : m_options(options)
    , m_live(live)
    , m_histories(histories)
    , m_json(options.zone)
    , m_clock(std::move(clock)) {}

bool ApiRoutes::handles(const QString& path) const {
    return path == u"/api/current" || path == u"/api/readings" || path == u"/api/daily" ||
           path == u"/api/export.csv" || path == u"/api/health" || path == u"/api/stations";
}

void ApiRoutes::answer(const QString& path, const QHttpServerRequest& request, QTcpSocket* socket,
                       Reply& reply) {
    const QUrlQuery query = request.query();
    if (path == u"/api/current") {
        current(query, reply);
    } else if (path == u"/api/readings") {
        readings(query, reply);
    } else if (path == u"/api/daily") {
        daily(query, reply);
    } else if (path == u"/api/export.csv") {
        exportCsv(query, socket, request.method() == QHttpServerRequest::Method::Head, reply);
    } else if (path == u"/api/stations") {
        stations(query, reply);
    } else {
        health(query, reply);
    }
}

void ApiRoutes::current(const QUrlQuery& query, Reply& reply) {
    QString error;
    if (!ApiParams(query, m_options.zone).onlyKnown({}, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    reply.json(Status::Ok, m_live.current(m_json, m_options.station, m_clock()));
}

void ApiRoutes::health(const QUrlQuery& query, Reply& reply) {
    QString error;
    if (!ApiParams(query, m_options.zone).onlyKnown({}, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    const qint64 now = m_clock();
    const qint64 silence = m_live.silenceMs(now);
    QJsonObject o;
    const auto& last = m_live.lastReading();
    o.insert(QStringLiteral("last_reading"),
             last ? QJsonValue(m_json.isoTime(last->timeMs)) : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("last_reading_ms"),
             last ? QJsonValue(last->timeMs) : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("port"), m_live.portState());
    if (silence <= m_options.staleAfterMs) {
        o.insert(QStringLiteral("status"), QStringLiteral("ok"));
        reply.json(Status::Ok, o);
        return;
    }
    o.insert(QStringLiteral("status"), QStringLiteral("stale"));
    o.insert(
        QStringLiteral("reason"),
        last ? QStringLiteral("no reading for %1 s").arg(silence / 1000)
             : QStringLiteral("no reading since the service started %1 s ago").arg(silence / 1000));
    reply.json(Status::ServiceUnavailable, o);
}

bool ApiRoutes::range(const ApiParams& params, qint64 defaultTo, qint64 defaultSpan, qint64& from,
                      qint64& to, Reply& reply) {
    QString error;
    to = defaultTo;
    if (!params.time("to", true, to, error)) {
        reply.error(Status::BadRequest, error);
        return false;
    }
    from = defaultSpan == kWhole ? std::numeric_limits<qint64>::min() : to - defaultSpan;
    if (!params.time("from", false, from, error)) {
        reply.error(Status::BadRequest, error);
        return false;
    }
    if (from > to) {
        reply.error(Status::BadRequest, QStringLiteral("from: after to"));
        return false;
    }
    return true;
}

std::shared_ptr<HistoryStore> ApiRoutes::historyFor(const ApiParams& params, Reply& reply) {
    QString station;
    QString error;
    if (!params.name("station", kMaxStationLength, station, error)) {
        reply.error(Status::BadRequest, error);
        return nullptr;
    }
    std::shared_ptr<HistoryStore> found;
    if (m_histories.find(station, found) == StationHistories::Found::NoSuchStation) {
        reply.error(Status::NotFound,
                    QStringLiteral("station: the archive holds no station %1").arg(station));
        return nullptr;
    }
    return found;
}

void ApiRoutes::historyFailed(const HistoryStore& history, Reply& reply) {
    reply.error(Status::ServiceUnavailable, history.lastError());
}

void ApiRoutes::stations(const QUrlQuery& query, Reply& reply) {
    QString error;
    if (!ApiParams(query, m_options.zone).onlyKnown({}, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    std::vector<archive::ArchiveStore::StationInfo> found;
    if (com::failed(m_histories.stations(found))) {
        reply.error(Status::ServiceUnavailable, m_histories.lastError());
        return;
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
    reply.json(Status::Ok, {{QStringLiteral("station"), m_histories.ownStation()},
                            {QStringLiteral("stations"), list}});
}

void ApiRoutes::readings(const QUrlQuery& query, Reply& reply) {
    const ApiParams params(query, m_options.zone);
    QString error;
    int points = kDefaultPoints;
    if (!params.onlyKnown({"from", "to", "points", "station"}, error) ||
        !params.integer("points", 1, kMaxPoints, points, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    const qint64 now = m_clock();
    qint64 from = 0;
    qint64 to = 0;
    if (!range(params, now, kDefaultSpanMs, from, to, reply)) {
        return;
    }
    const auto history = historyFor(params, reply);
    if (!history) {
        return;
    }
    qint64 total = 0;
    if (com::failed(history->count(from, to, total))) {
        historyFailed(*history, reply);
        return;
    }
    QJsonObject o;
    o.insert(QStringLiteral("station"), history->station());
    m_json.addTime(o, QStringLiteral("from"), from);
    m_json.addTime(o, QStringLiteral("to"), to);
    o.insert(QStringLiteral("count"), total);
    QJsonArray rows;
    HRESULT hr = com::S_OK;
    if (total <= points) {
        hr = history->readings(from, to, [&](const archive::Entry& e) {
            QJsonObject r = m_json.entry(e);
            r.remove(QStringLiteral("kind"));
            rows.append(r);
            return true;
        });
        o.insert(QStringLiteral("bucketed"), false);
        o.insert(QStringLiteral("readings"), rows);
    } else {
        std::vector<HistoryStore::Bucket> buckets;
        qint64 width = 0;
        hr = history->buckets(from, to, points, buckets, width);
        for (const auto& b : buckets) {
            QJsonObject r = m_json.stats(b.stats, false);
            m_json.addTime(r, QStringLiteral("start"), b.startMs);
            m_json.addTime(r, QStringLiteral("end"), b.endMs);
            rows.append(r);
        }
        o.insert(QStringLiteral("bucketed"), true);
        o.insert(QStringLiteral("bucket_ms"), width);
        o.insert(QStringLiteral("buckets"), rows);
    }
    if (com::failed(hr)) {
        historyFailed(*history, reply);
        return;
    }
    reply.json(Status::Ok, o);
}

void ApiRoutes::daily(const QUrlQuery& query, Reply& reply) {
    const ApiParams params(query, m_options.zone);
    QString error;
    QDate to = archive::LocalDay::dateOf(m_clock(), m_options.zone);
    QDate from;
    if (!params.onlyKnown({"from", "to", "station"}, error) || !params.date("to", to, error) ||
        !params.date("from", from, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    if (!from.isValid()) {
        from = to.addDays(-29);
    }
    if (from > to) {
        reply.error(Status::BadRequest, QStringLiteral("from: after to"));
        return;
    }
    const auto history = historyFor(params, reply);
    if (!history) {
        return;
    }
    std::vector<archive::ArchiveReader::DailyRow> rows;
    if (com::failed(history->daily(from, to, m_options.zone, rows))) {
        historyFailed(*history, reply);
        return;
    }
    QJsonArray days;
    for (const auto& row : rows) {
        QJsonObject d = m_json.stats(row.stats, true);
        d.insert(QStringLiteral("date"), row.date.toString(Qt::ISODate));
        days.append(d);
    }
    reply.json(Status::Ok, {{QStringLiteral("station"), history->station()},
                            {QStringLiteral("from"), from.toString(Qt::ISODate)},
                            {QStringLiteral("to"), to.toString(Qt::ISODate)},
                            {QStringLiteral("days"), days}});
}

void ApiRoutes::exportCsv(const QUrlQuery& query, QTcpSocket* socket, bool head, Reply& reply) {
    const ApiParams params(query, m_options.zone);
    QString error;
    if (!params.onlyKnown({"from", "to", "station"}, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    qint64 from = 0;
    qint64 to = 0;
    if (!range(params, std::numeric_limits<qint64>::max(), kWhole, from, to, reply)) {
        return;
    }
    auto history = historyFor(params, reply);
    if (!history) {
        return;
    }
    if (com::failed(history->open())) {
        historyFailed(*history, reply);
        return;
    }
    reply.startChunked("text/csv; charset=utf-8",
                       {{"Content-Disposition", "attachment; filename=\"brisora-readings.csv\""}});
    if (head) {
        socket->disconnectFromHost();
        return;
    }
    auto* job = new CsvExport(socket, std::move(history), archive::ArchiveCsv(m_options.zone), from,
                              to, m_options.maxBacklogBytes);
    job->start();
}

} // namespace http

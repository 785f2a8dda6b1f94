#include "ApiRoutes.h"

#include "ApiParams.h"
#include "CsvExport.h"
#include "HistoryQueries.h"

#include "archive/LocalDays.h"

#include <QJsonArray>
#include <QTcpSocket>

#include <limits>

namespace http {

using com::HRESULT;

ApiRoutes::ApiRoutes(const WebOptions& options, const LiveState& live, HistoryWorker& worker,
                     std::function<qint64()> clock)
    : m_options(options)
    , m_live(live)
    , m_worker(worker)
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
        readings(query, socket, reply);
    } else if (path == u"/api/daily") {
        daily(query, socket, reply);
    } else if (path == u"/api/export.csv") {
        exportCsv(query, socket, request.method() == QHttpServerRequest::Method::Head, reply);
    } else if (path == u"/api/stations") {
        stations(query, socket, reply);
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

bool ApiRoutes::station(const ApiParams& params, QString& out, Reply& reply) {
    QString error;
    if (!params.name("station", kMaxStationLength, out, error)) {
        reply.error(Status::BadRequest, error);
        return false;
    }
    return true;
}

void ApiRoutes::defer(QTcpSocket* socket, Reply& reply, DeferredReply::Query query,
                      DeferredReply::Deliver deliver) {
    DeferredReply::run(m_worker, socket, std::move(reply), m_options.historyTimeoutMs,
                       std::move(query), std::move(deliver));
}

void ApiRoutes::stations(const QUrlQuery& query, QTcpSocket* socket, Reply& reply) {
    QString error;
    if (!ApiParams(query, m_options.zone).onlyKnown({}, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    defer(socket, reply, [zone = m_options.zone](StationHistories& histories) {
        return HistoryQueries(zone).stations(histories);
    });
}

void ApiRoutes::readings(const QUrlQuery& query, QTcpSocket* socket, Reply& reply) {
    const ApiParams params(query, m_options.zone);
    QString error;
    int points = kDefaultPoints;
    if (!params.onlyKnown({"from", "to", "points", "station"}, error) ||
        !params.integer("points", 1, kMaxPoints, points, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    qint64 from = 0;
    qint64 to = 0;
    QString name;
    if (!range(params, m_clock(), kDefaultSpanMs, from, to, reply) ||
        !station(params, name, reply)) {
        return;
    }
    defer(socket, reply, [zone = m_options.zone, name, from, to, points](StationHistories& h) {
        return HistoryQueries(zone).readings(h, name, from, to, points);
    });
}

void ApiRoutes::daily(const QUrlQuery& query, QTcpSocket* socket, Reply& reply) {
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
    QString name;
    if (!station(params, name, reply)) {
        return;
    }
    defer(socket, reply, [zone = m_options.zone, name, from, to](StationHistories& h) {
        return HistoryQueries(zone).daily(h, name, from, to);
    });
}

// The archive is looked at first, so a client is told plainly when it cannot be read; the rows
// then follow in chunks, each read by the worker when the client has taken the last.
void ApiRoutes::exportCsv(const QUrlQuery& query, QTcpSocket* socket, bool head, Reply& reply) {
    const ApiParams params(query, m_options.zone);
    QString error;
    if (!params.onlyKnown({"from", "to", "station"}, error)) {
        reply.error(Status::BadRequest, error);
        return;
    }
    qint64 from = 0;
    qint64 to = 0;
    QString name;
    if (!range(params, std::numeric_limits<qint64>::max(), kWhole, from, to, reply) ||
        !station(params, name, reply)) {
        return;
    }
    CsvExport::Job job{name, archive::ArchiveCsv(m_options.zone), from,
                       to,   m_options.maxBacklogBytes,           m_options.historyTimeoutMs};
    defer(
        socket, reply,
        [zone = m_options.zone, name](StationHistories& h) {
            return HistoryQueries(zone).readable(h, name);
        },
        [this, head, job](DeferredReply& pending, const HistoryAnswer& answer) {
            if (answer.status != Status::Ok) {
                pending.answer(answer);
                return;
            }
            pending.release();
            pending.reply().startChunked(
                "text/csv; charset=utf-8",
                {{"Content-Disposition", "attachment; filename=\"brisora-readings.csv\""}});
            if (head) {
                pending.socket()->disconnectFromHost();
                return;
            }
            (new CsvExport(pending.socket(), m_worker, job))->start();
        });
}

} // namespace http

#pragma once

#include "ApiParams.h"
#include "DeferredReply.h"
#include "HistoryWorker.h"
#include "JsonFormat.h"
#include "LiveState.h"
#include "Reply.h"

#include "http/WebOptions.h"

#include <QHttpServerRequest>

#include <functional>

class QTcpSocket;

namespace http {

// The JSON routes under /api/ and the CSV export, on the live state and the archive. The live
// routes answer at once; the archive's are checked here and answered by its worker.
class ApiRoutes {
public:
    static constexpr int kDefaultPoints = 1000;
    static constexpr int kMaxPoints = 10000;
    static constexpr qint64 kDefaultSpanMs = 24 * 3600 * 1000;
    static constexpr int kMaxStationLength = 64;

    ApiRoutes(const WebOptions& options, const LiveState& live, HistoryWorker& worker,
              std::function<qint64()> clock);

    // False when `path` is none of the API's routes.
    bool handles(const QString& path) const;
    void answer(const QString& path, const QHttpServerRequest& request, QTcpSocket* socket,
                Reply& reply);

private:
    void current(const QUrlQuery& query, Reply& reply);
    void health(const QUrlQuery& query, Reply& reply);
    void readings(const QUrlQuery& query, QTcpSocket* socket, Reply& reply);
    void daily(const QUrlQuery& query, QTcpSocket* socket, Reply& reply);
    void exportCsv(const QUrlQuery& query, QTcpSocket* socket, bool head, Reply& reply);
    void stations(const QUrlQuery& query, QTcpSocket* socket, Reply& reply);
    // Hands the reply to the archive's worker.
    void defer(QTcpSocket* socket, Reply& reply, DeferredReply::Query query,
               DeferredReply::Deliver deliver = {});
    static constexpr qint64 kWhole = -1; // a default span: everything up to `to`
    // Reads from/to of a range (`to` by default defaultTo, `from` defaultSpan before it), or
    // answers 400 and returns false.
    bool range(const ApiParams& params, qint64 defaultTo, qint64 defaultSpan, qint64& from,
               qint64& to, Reply& reply);
    // The `station` parameter (empty: the service's own), or false after answering 400.
    static bool station(const ApiParams& params, QString& out, Reply& reply);

    const WebOptions& m_options;
    const LiveState& m_live;
    HistoryWorker& m_worker;
    JsonFormat m_json;
    std::function<qint64()> m_clock;
};

} // namespace http

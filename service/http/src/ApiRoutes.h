#pragma once

#include "ApiParams.h"
#include "JsonFormat.h"
#include "LiveState.h"
#include "Reply.h"
#include "StationHistories.h"

#include "http/WebOptions.h"

#include <QHttpServerRequest>

#include <functional>

class QTcpSocket;

namespace http {

// The JSON routes under /api/ and the CSV export, on the live state and the archive.
class ApiRoutes {
public:
    static constexpr int kDefaultPoints = 1000;
    static constexpr int kMaxPoints = 10000;
    static constexpr qint64 kDefaultSpanMs = 24 * 3600 * 1000;
    static constexpr int kMaxStationLength = 64;

    ApiRoutes(const WebOptions& options, const LiveState& live, StationHistories& histories,
              std::function<qint64()> clock);

    // False when `path` is none of the API's routes.
    bool handles(const QString& path) const;
    void answer(const QString& path, const QHttpServerRequest& request, QTcpSocket* socket,
                Reply& reply);

private:
    void current(const QUrlQuery& query, Reply& reply);
    void readings(const QUrlQuery& query, Reply& reply);
    void daily(const QUrlQuery& query, Reply& reply);
    void exportCsv(const QUrlQuery& query, QTcpSocket* socket, bool head, Reply& reply);
    void health(const QUrlQuery& query, Reply& reply);
    void stations(const QUrlQuery& query, Reply& reply);
    static constexpr qint64 kWhole = -1; // a default span: everything up to `to`
    // Reads from/to of a range (`to` by default defaultTo, `from` defaultSpan before it), or
    // answers 400 and returns false.
    bool range(const ApiParams& params, qint64 defaultTo, qint64 defaultSpan, qint64& from,
               qint64& to, Reply& reply);
    // The history of the station the `station` parameter names (the service's own without
    // one), or null after answering 400 or 404.
    std::shared_ptr<HistoryStore> historyFor(const ApiParams& params, Reply& reply);
    static void historyFailed(const HistoryStore& history, Reply& reply);

    const WebOptions& m_options;
    const LiveState& m_live;
    StationHistories& m_histories;
    JsonFormat m_json;
    std::function<qint64()> m_clock;
};

} // namespace http

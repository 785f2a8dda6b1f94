#pragma once

#include "Access.h"
#include "ApiRoutes.h"
#include "ConnectionGate.h"
#include "HistoryWorker.h"
#include "HttpFront.h"
#include "LiveFeed.h"
#include "LiveState.h"
#include "PageRoutes.h"

#include "http/WebOptions.h"

#include <QHttpServerRequest>

#include <functional>
#include <memory>

class QWebSocket;

namespace http {

// The parts of the server and the request's way through them: method, then access, then the
// route.
class WebServerPrivate {
public:
    explicit WebServerPrivate(WebOptions options);

    qint64 now() const { return clock(); }
    void handle(const QHttpServerRequest& request, QTcpSocket* socket);
    void acceptWebSocket(std::unique_ptr<QWebSocket> socket);
    QByteArray tickMessage(const archive::Entry& e) const;
    QByteArray portMessage() const;

    WebOptions options;
    std::function<qint64()> clock;
    Access access;
    LiveState live;
    HistoryWorker history;
    JsonFormat json;
    ApiRoutes api;
    PageRoutes pages;
    ConnectionGate* gate = nullptr; // owned by front
    std::unique_ptr<HttpFront> front;
    std::unique_ptr<LiveFeed> feed;
    QString error;

private:
    bool admitsPage(const QHttpServerRequest& request, const QString& path, Reply& reply);
};

} // namespace http

#include "http/WebServer.h"

#include "WebServerPrivate.h"

#include <algorithm>

#include <QDateTime>
#include <QJsonDocument>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>

namespace http {

namespace {

qint64 systemNow() {
    return QDateTime::currentMSecsSinceEpoch();
}

bool isGetOrHead(QHttpServerRequest::Method m) {
    return m == QHttpServerRequest::Method::Get || m == QHttpServerRequest::Method::Head;
}

} // namespace

WebServerPrivate::WebServerPrivate(WebOptions o)
    : options(std::move(o))
    , clock(systemNow)
    , access(options.token)
    , live(systemNow())
    , history(options.archivePath, options.station, options.maxHistoryQueries)
    , json(options.zone)
    , api(options, live, history, [this] { return clock(); })
    , pages(options) {}

void WebServerPrivate::handle(const QHttpServerRequest& request, QTcpSocket* socket) {
    ConnectionGate::requestHandled(socket);
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0) {
        // Qt's server turns the connection into a WebSocket once this returns; the path and
        // the token are checked when it arrives (acceptWebSocket).
        ConnectionGate::upgraded(socket);
        return;
    }
    Reply reply(HttpFront::responderFor(request, socket),
                request.method() == QHttpServerRequest::Method::Head);
    if (!isGetOrHead(request.method())) {
        reply.error(Status::MethodNotAllowed, QStringLiteral("only GET and HEAD are answered"),
                    {{"Allow", "GET, HEAD"}});
        return;
    }
    // The path as sent, still percent-encoded: only exact names of the routes and resources
    // match, so no encoding trick reaches anything else.
    const QString path = request.url().path(QUrl::FullyEncoded);
    if (!admitsPage(request, path, reply)) {
        return;
    }
    if (api.handles(path)) {
        api.answer(path, request, socket, reply);
    } else if (path == u"/api/live") {
        reply.error(Status::UpgradeRequired, QStringLiteral("/api/live is a WebSocket"),
                    {{"Upgrade", "websocket"}});
    } else if (!pages.answer(path, request, live, reply)) {
        reply.error(Status::NotFound, QStringLiteral("no such resource"));
    }
}

// Lets the request on, or answers it: 401 without the token; the page's ?token= sets the
// session cookie and sends the browser back to the bare address, so the token leaves its bar.
bool WebServerPrivate::admitsPage(const QHttpServerRequest& request, const QString& path,
                                  Reply& reply) {
    if (access.admits(request.value("authorization"), request.value("cookie"))) {
        return true;
    }
    const QUrlQuery query = request.query();
    if (path == u"/" && query.hasQueryItem(QStringLiteral("token")) &&
        access.matchesToken(query.queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded))) {
        reply.send(Status::SeeOther, {}, {},
                   {{"Location", "/"}, {"Set-Cookie", access.sessionCookie()}});
        return false;
    }
    if (path == u"/") {
        reply.send(Status::Unauthorized, "text/html; charset=utf-8", PageRoutes::tokenPage());
        return false;
    }
    reply.error(Status::Unauthorized, QStringLiteral("a token is required"),
                {{"WWW-Authenticate", "Bearer realm=\"brisora\""}});
    return false;
}

namespace {

// Closes a client the feed does not take, letting the close frame go out before it is deleted.
void turnAway(std::unique_ptr<QWebSocket> socket, const QString& reason) {
    QWebSocket* s = socket.release();
    QObject::connect(s, &QWebSocket::disconnected, s, &QObject::deleteLater);
    QTimer::singleShot(2000, s, &QObject::deleteLater);
    s->close(QWebSocketProtocol::CloseCodePolicyViolated, reason);
}

} // namespace

void WebServerPrivate::acceptWebSocket(std::unique_ptr<QWebSocket> socket) {
    const QNetworkRequest request = socket->request();
    const bool isFeed = socket->requestUrl().path(QUrl::FullyEncoded) == u"/api/live" &&
                        socket->requestUrl().query().isEmpty();
    if (!isFeed) {
        turnAway(std::move(socket), QStringLiteral("not found"));
        return;
    }
    if (!access.admits(request.rawHeader("Authorization"), request.rawHeader("Cookie"))) {
        turnAway(std::move(socket), QStringLiteral("a token is required"));
        return;
    }
    // A page of another site must not read the feed through the browser of someone here.
    const QUrl origin(socket->origin());
    const QByteArray host = request.rawHeader("Host");
    if (!socket->origin().isEmpty() &&
        origin.authority(QUrl::FullyEncoded).toUtf8().compare(host, Qt::CaseInsensitive) != 0) {
        turnAway(std::move(socket), QStringLiteral("foreign origin"));
        return;
    }
    QJsonObject hello = live.current(json, options.station, clock());
    hello.insert(QStringLiteral("type"), QStringLiteral("hello"));
    feed->add(std::move(socket), QJsonDocument(hello).toJson(QJsonDocument::Compact));
}

QByteArray WebServerPrivate::tickMessage(const archive::Entry& e) const {
    QJsonObject o = json.entry(e);
    o.insert(QStringLiteral("type"), QStringLiteral("tick"));
    o.insert(QStringLiteral("n"), live.ticks());
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray WebServerPrivate::portMessage() const {
    return QJsonDocument(QJsonObject{{QStringLiteral("type"), QStringLiteral("port")},
                                     {QStringLiteral("device"), live.portDevice()},
                                     {QStringLiteral("state"), live.portState()}})
        .toJson(QJsonDocument::Compact);
}

WebServer::WebServer(WebOptions options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<WebServerPrivate>(std::move(options))) {}

WebServer::~WebServer() {
    stop();
}

bool WebServer::start() {
    if (d->front) {
        return true;
    }
    if (const QString refusal = d->options.refusal(); !refusal.isEmpty()) {
        d->error = refusal;
        return false;
    }
    const WebOptions& o = d->options;
    d->live.restart(d->clock());
    d->history.start();
    auto gate = std::make_unique<ConnectionGate>(
        ConnectionGate::Limits{o.maxConnections, o.maxRequestBytes, o.requestTimeoutMs});
    // A burst of clients waits in the kernel's queue, not in half-open handshakes, until the
    // gate has room or turns it away.
    gate->setListenBacklogSize(std::max(1024, o.maxConnections));
    if (!gate->listen(o.address, o.port)) {
        d->error = QStringLiteral("cannot listen on %1:%2: %3")
                       .arg(o.address.toString())
                       .arg(o.port)
                       .arg(gate->errorString());
        return false;
    }
    d->feed = std::make_unique<LiveFeed>(o.maxBacklogBytes);
    d->front =
        std::make_unique<HttpFront>([this](const QHttpServerRequest& request, QTcpSocket* socket) {
            d->handle(request, socket);
        });
    d->gate = gate.release();
    d->front->bind(d->gate); // the front owns the gate from here
    connect(d->front.get(), &QAbstractHttpServer::newWebSocketConnection, this, [this] {
        while (d->front->hasPendingWebSocketConnections()) {
            d->acceptWebSocket(d->front->nextPendingWebSocketConnection());
        }
    });
    return true;
}

void WebServer::stop() {
    if (d->feed) {
        d->feed->closeAll();
    }
    d->front.reset();
    d->feed.reset();
    d->gate = nullptr;
    d->history.stop(d->options.historyStopWaitMs);
}

bool WebServer::isListening() const {
    return d->gate && d->gate->isListening();
}

quint16 WebServer::port() const {
    return d->gate ? d->gate->serverPort() : 0;
}

QString WebServer::errorString() const {
    return d->error;
}

void WebServer::setClock(std::function<qint64()> nowMs) {
    d->clock = std::move(nowMs);
}

int WebServer::openConnections() const {
    return d->gate ? d->gate->openConnections() : 0;
}

int WebServer::liveClients() const {
    return d->feed ? d->feed->clients() : 0;
}

void WebServer::addTick(const archive::Entry& entry) {
    d->live.add(entry);
    d->pages.show(entry);
    if (d->feed) {
        d->feed->broadcast(d->tickMessage(entry));
    }
}

void WebServer::setPortState(const QString& device, const QString& state) {
    d->live.setPort(device, state);
    if (d->feed) {
        d->feed->broadcast(d->portMessage());
    }
}

} // namespace http

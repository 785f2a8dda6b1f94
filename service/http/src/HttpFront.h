#pragma once

#include <QAbstractHttpServer>
#include <QHttpServerResponder>

#include <functional>

namespace http {

// Qt's HTTP server with one handler for every request it parses; the routing, the refusals and
// the answers are WebServer's.
class HttpFront : public QAbstractHttpServer {
    Q_OBJECT
public:
    using Handler = std::function<void(const QHttpServerRequest&, QTcpSocket*)>;

    explicit HttpFront(Handler handler, QObject* parent = nullptr)
        : QAbstractHttpServer(parent)
        , m_handler(std::move(handler)) {}

    static QHttpServerResponder responderFor(const QHttpServerRequest& request,
                                             QTcpSocket* socket) {
        return makeResponder(request, socket);
    }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        m_handler(request, socket);
        return true;
    }
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    Handler m_handler;
};

} // namespace http

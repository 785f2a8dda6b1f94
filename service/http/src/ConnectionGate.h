#pragma once

#include <QTcpServer>

class QTcpSocket;

namespace http {

// The listening socket in front of the HTTP server, holding the bounds Qt's HTTP server does
// not: how many connections are open at once (one past the bound is closed as it comes), how
// many bytes a request may take, and how long a client may take to send it. The HTTP server
// takes its connections from here (QAbstractHttpServer::bind).
class ConnectionGate : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        int maxConnections = 256;
        qint64 maxRequestBytes = 16384;
        int requestTimeoutMs = 10000;
    };

    explicit ConnectionGate(Limits limits, QObject* parent = nullptr);

    int openConnections() const { return m_open; }
    qint64 refusedConnections() const { return m_refused; }

    // A whole request came in on `socket`: the next one gets a fresh byte count and deadline.
    static void requestHandled(QTcpSocket* socket);
    // The connection became a WebSocket: no request deadline any more.
    static void upgraded(QTcpSocket* socket);
    // The answer waits on the archive, which has a time limit of its own: the request deadline
    // rests until requestHandled.
    static void awaiting(QTcpSocket* socket) { upgraded(socket); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    friend class ConnectionWatch;
    Limits m_limits;
    int m_open = 0;
    qint64 m_refused = 0;
};

} // namespace http

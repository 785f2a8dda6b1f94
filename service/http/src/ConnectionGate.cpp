#include "ConnectionGate.h"

#include "ConnectionWatch.h"

#include <QTcpSocket>

#include <QTimer>

namespace http {

ConnectionGate::ConnectionGate(Limits limits, QObject* parent)
    : QTcpServer(parent)
    , m_limits(limits) {}

void ConnectionGate::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (m_open >= m_limits.maxConnections) {
        // Told and closed before a byte is read: costs little however many come at once.
        ++m_refused;
        socket->write("HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\n"
                      "Content-Length: 0\r\n\r\n");
        socket->disconnectFromHost();
        if (socket->state() == QAbstractSocket::UnconnectedState) {
            socket->deleteLater();
        } else {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(1000, socket, &QObject::deleteLater);
        }
        return;
    }
    // The watch connects to the socket before the HTTP server does, so it sees each chunk
    // first.
    new ConnectionWatch(socket, this);
    addPendingConnection(socket);
}

void ConnectionGate::requestHandled(QTcpSocket* socket) {
    if (auto* watch =
            socket ? socket->findChild<ConnectionWatch*>(QString(), Qt::FindDirectChildrenOnly)
                   : nullptr) {
        watch->restart();
    }
}

void ConnectionGate::upgraded(QTcpSocket* socket) {
    if (auto* watch =
            socket ? socket->findChild<ConnectionWatch*>(QString(), Qt::FindDirectChildrenOnly)
                   : nullptr) {
        watch->stopDeadline();
    }
}

ConnectionWatch::ConnectionWatch(QTcpSocket* socket, ConnectionGate* gate)
    : QObject(socket)
    , m_socket(socket)
    , m_gate(gate) {
    ++gate->m_open;
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(gate->m_limits.requestTimeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, &ConnectionWatch::onExpired);
    connect(socket, &QTcpSocket::readyRead, this, &ConnectionWatch::onReadyRead);
    // A reply that moves on (a long export to a slow reader) keeps the connection.
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_deadline.isActive()) {
            m_deadline.start();
        }
    });
    m_deadline.start();
}

ConnectionWatch::~ConnectionWatch() {
    if (m_gate) {
        --m_gate->m_open;
    }
}

void ConnectionWatch::restart() {
    m_requestBytes = 0;
    m_deadline.start();
}

void ConnectionWatch::stopDeadline() {
    m_deadline.stop();
}

void ConnectionWatch::onReadyRead() {
    // Runs before the HTTP server's own slot, which takes in all that is available.
    m_requestBytes += m_socket->bytesAvailable();
    if (!m_refused && m_gate && m_requestBytes > m_gate->m_limits.maxRequestBytes) {
        refuse("HTTP/1.1 431 Request Header Fields Too Large\r\n");
    }
}

void ConnectionWatch::onExpired() {
    if (m_refused) {
        m_socket->abort();
        m_socket->deleteLater();
        return;
    }
    refuse("HTTP/1.1 408 Request Timeout\r\n");
}

// Answers with a fixed status and closes; a client that does not take the answer within a
// second is cut. The socket is deleted here because the HTTP server stops watching a connection
// whose request it could not parse.
void ConnectionWatch::refuse(const QByteArray& statusLine) {
    m_refused = true;
    disconnect(m_socket, &QTcpSocket::readyRead, this, nullptr);
    m_socket->write(statusLine + "Connection: close\r\nContent-Length: 0\r\n\r\n");
    m_socket->disconnectFromHost();
    connect(m_socket, &QTcpSocket::disconnected, m_socket, &QObject::deleteLater);
    if (m_socket->state() == QAbstractSocket::UnconnectedState) {
        m_socket->deleteLater();
        return;
    }
    m_deadline.start(1000);
}

} // namespace http

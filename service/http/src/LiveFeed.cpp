#include "LiveFeed.h"

#include <QWebSocket>

namespace http {

namespace {
constexpr quint64 kMaxIncomingBytes = 4096;
}

LiveFeed::LiveFeed(qint64 backlogBytes, QObject* parent)
    : QObject(parent)
    , m_backlogBytes(backlogBytes) {}

LiveFeed::~LiveFeed() {
    closeAll();
}

void LiveFeed::add(std::unique_ptr<QWebSocket> client, const QByteArray& hello) {
    QWebSocket* c = client.release();
    c->setParent(this);
    c->setMaxAllowedIncomingFrameSize(kMaxIncomingBytes);
    c->setMaxAllowedIncomingMessageSize(kMaxIncomingBytes);
    m_clients.append(c);
    connect(c, &QWebSocket::disconnected, this, [this, c] { remove(c); });
    // The feed only talks; whatever a client sends is read and let go.
    connect(c, &QWebSocket::textMessageReceived, c, [] {});
    c->sendTextMessage(QString::fromUtf8(hello));
}

void LiveFeed::broadcast(const QByteArray& message) {
    const QString text = QString::fromUtf8(message);
    const QList<QWebSocket*> clients = m_clients;
    for (QWebSocket* c : clients) {
        if (c->bytesToWrite() > m_backlogBytes) {
            ++m_dropped;
            remove(c);
            c->abort();
            continue;
        }
        c->sendTextMessage(text);
        // Out to the kernel now rather than on the socket's next write notice: one pass over
        // the clients instead of one event per client, and the first ones are not kept waiting
        // for the last.
        c->flush();
    }
}

void LiveFeed::remove(QWebSocket* client) {
    if (m_clients.removeOne(client)) {
        client->deleteLater();
    }
}

void LiveFeed::closeAll() {
    const QList<QWebSocket*> clients = m_clients;
    m_clients.clear();
    for (QWebSocket* c : clients) {
        c->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("server stopping"));
        c->deleteLater();
    }
}

} // namespace http

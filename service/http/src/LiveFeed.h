#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include <memory>

class QWebSocket;

namespace http {

// The clients of /api/live. Every message goes to each of them at once; a client that has left
// more than the backlog bound unread is dropped rather than let it grow without end.
class LiveFeed : public QObject {
    Q_OBJECT
public:
    explicit LiveFeed(qint64 backlogBytes, QObject* parent = nullptr);
    ~LiveFeed() override;

    // Takes over a connected client and greets it with `hello`.
    void add(std::unique_ptr<QWebSocket> client, const QByteArray& hello);
    void broadcast(const QByteArray& message);
    void closeAll();
    int clients() const { return static_cast<int>(m_clients.size()); }
    qint64 dropped() const { return m_dropped; }

private:
    void remove(QWebSocket* client);

    qint64 m_backlogBytes;
    QList<QWebSocket*> m_clients;
    qint64 m_dropped = 0;
};

} // namespace http

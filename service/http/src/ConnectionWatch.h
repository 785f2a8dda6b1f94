#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QTcpSocket;

namespace http {

class ConnectionGate;

// Rides on one accepted socket (as its child, so it lives exactly as long): counts the bytes of
// the request under way and cuts the connection when they pass the bound, or when the request
// (or the reply's progress) stalls past the deadline. Leaves the gate's count when it goes.
class ConnectionWatch : public QObject {
    Q_OBJECT
public:
    ConnectionWatch(QTcpSocket* socket, ConnectionGate* gate);
    ~ConnectionWatch() override;

    void restart();
    void stopDeadline();

private:
    void onReadyRead();
    void onExpired();
    void refuse(const QByteArray& statusLine);

    QTcpSocket* m_socket;
    QPointer<ConnectionGate> m_gate;
    QTimer m_deadline;
    qint64 m_requestBytes = 0;
    bool m_refused = false;
};

} // namespace http

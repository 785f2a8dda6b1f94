#pragma once

#include "MessageFormat.h"

#include <QString>

#include <memory>
#include <vector>

namespace mqtt {

// Why a connection could not be made or was lost.
enum class TransportError {
    None,
    Resolve, // the broker's name does not resolve
    Refused, // nothing accepts connections at the broker's address
    Auth,    // the broker refused the user name or password, or the client
    Tls,     // the TLS handshake or the certificate check failed
    Timeout, // no answer to the connection request in time
    Lost,    // the connection went away
    Other,
};

struct TransportStatus {
    TransportError error = TransportError::None;
    QString detail;

    bool ok() const { return error == TransportError::None; }
};

struct ConnectSettings {
    BrokerAddress broker;
    QString caFile;
    QString clientId;
    QString username;
    QByteArray password;
    int keepAliveS = 60;
    int qos = 1;
    OutMessage will;
};

// One session with the broker, driven from a single thread. The MQTT library lives behind
// this; the publisher sees only sessions that open, publish, wait and close.
class MqttTransport {
public:
    virtual ~MqttTransport() = default;

    // Starts connecting: name look-up, the TCP connection and the connection request.
    virtual TransportStatus open(const ConnectSettings& settings) = 0;
    // True once the broker accepted the connection.
    virtual bool isConnected() const = 0;
    // Hands a message over; `messageId` identifies it in takeDelivered().
    virtual TransportStatus publish(const OutMessage& message, int qos, int* messageId) = 0;
    // Waits up to `timeoutMs` for the connection or for `wakeFd` to become readable, then does
    // the reading, writing and keep-alive work that is due.
    virtual TransportStatus service(int timeoutMs, int wakeFd) = 0;
    // The ids of the messages the broker acknowledged (QoS 0: sent) since the last call.
    virtual std::vector<int> takeDelivered() = 0;
    // Ends the session: with a DISCONNECT (so no last will) when `graceful`.
    virtual void close(bool graceful) = 0;
};

std::unique_ptr<MqttTransport> makeMosquittoTransport();

} // namespace mqtt

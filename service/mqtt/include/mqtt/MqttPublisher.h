#pragma once

#include "archive/ArchiveEntry.h"
#include "mqtt/MqttLog.h"
#include "mqtt/MqttOptions.h"

#include <QString>

#include <memory>

namespace mqtt {

class PublisherWorker;

// Publishes the station's ticks to an MQTT broker: each reading on <prefix>/state, each failed
// tick on <prefix>/event, whether ticks complete on <prefix>/link, online/offline on
// <prefix>/availability, and the discovery messages that let a home-automation system find the
// station's sensors by itself.
//
// publish() is called from the tick's thread and only queues: the connection, its retries
// (1 s doubling to 60 s) and every write happen on the publisher's own thread. While the broker
// cannot be reached, ticks wait in a bounded queue, the oldest dropped beyond its limit; after
// reconnection they go out in order.
class MqttPublisher {
public:
    MqttPublisher(const MqttOptions& options, LogFunction log);
    ~MqttPublisher();
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Checks the options, reads the password file and starts the publisher's thread. S_OK, or
    // the failure's code with its reason in `error` (nothing started then).
    [[nodiscard]] HRESULT start(QString* error);

    // Queues one tick's outcome. Never waits for the network.
    void publish(const archive::Entry& entry);

    // Lets the queued ticks reach the broker for up to the options' drain time, publishes
    // "offline" (retained), disconnects and stops the thread. Also done on destruction.
    void shutdown();

    // Ticks dropped because the queue was full, since start.
    quint64 droppedCount() const;
    // Connection attempts made, since start.
    quint64 connectAttempts() const;
    // Ticks queued and not yet handed to the broker.
    qsizetype queuedCount() const;

private:
    std::unique_ptr<PublisherWorker> m_worker;
    MqttOptions m_options;
    LogFunction m_log;
};

} // namespace mqtt

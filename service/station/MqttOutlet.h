#pragma once

#include "core/JournalLog.h"
#include "core/StationConfig.h"
#include "mqtt/MqttPublisher.h"

#include <QObject>

namespace service {

// The [mqtt] section as the publisher takes it. The queue holds a day of ticks at the
// configured interval.
mqtt::MqttOptions mqttOptionsFrom(const StationConfig& config);

// The MQTT outlet: every tick the runner finishes goes to the broker. The publisher logs from
// its own thread; JournalLog::log only hands a whole line to its sink.
class MqttOutlet : public QObject {
    Q_OBJECT
public:
    MqttOutlet(const StationConfig& config, JournalLog& log, QObject* parent = nullptr);

    // S_OK, or the reason the outlet cannot run (an unreadable password file...) in `error`.
    [[nodiscard]] com::HRESULT start(QString* error);
    // Lets the queue drain for up to two seconds, publishes "offline" and disconnects.
    void finish();
    // Queues one tick for the broker (connected to StationRunner::tickFinished).
    void publish(const archive::Entry& entry);

private:
    mqtt::MqttPublisher m_publisher;
};

} // namespace service

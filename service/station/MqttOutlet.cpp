#include "MqttOutlet.h"

#include <algorithm>

namespace service {

namespace {

constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;

} // namespace

mqtt::MqttOptions mqttOptionsFrom(const StationConfig& config) {
    mqtt::MqttOptions o;
    o.url = config.mqtt.url;
    o.username = config.mqtt.username;
    o.passwordFile = config.mqtt.passwordFile;
    o.caFile = config.mqtt.caFile;
    o.station = config.station;
    o.clientId = config.mqtt.clientId;
    o.topicPrefix = config.mqtt.topicPrefix;
    o.discoveryPrefix = config.mqtt.discoveryPrefix;
    o.qos = config.mqtt.qos;
    o.queueLimit = std::max<qint64>(1, kDayMs / std::max(1, config.intervalMs));
    return o;
}

MqttOutlet::MqttOutlet(const StationConfig& config, JournalLog& log, QObject* parent)
    : QObject(parent)
    , m_publisher(mqttOptionsFrom(config), [&log](mqtt::LogPriority priority, const QString& text) {
        log.log(static_cast<JournalLog::Priority>(priority), text);
    }) {}

com::HRESULT MqttOutlet::start(QString* error) {
    return m_publisher.start(error);
}

void MqttOutlet::finish() {
    m_publisher.shutdown();
}

void MqttOutlet::publish(const archive::Entry& entry) {
    m_publisher.publish(entry);
}

} // namespace service

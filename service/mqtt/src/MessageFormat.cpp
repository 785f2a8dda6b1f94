#include "MessageFormat.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace mqtt {

namespace {

// One sensor of the discovery messages.
struct SensorSpec {
    const char* component; // sensor, binary_sensor
    const char* object;    // the last level of its topic and of its unique id
    const char* name;
    const char* deviceClass;
    const char* unit;       // sensors only
    const char* stateField; // the state message's field the value comes from (sensors only)
};

constexpr SensorSpec kSensors[] = {
    {"sensor", "humidity", "Humidity", "humidity", "%", "humidity_pct"},
    {"sensor", "pressure", "Pressure", "atmospheric_pressure", "kPa", "pressure_kpa"},
    {"binary_sensor", "link", "Station link", "connectivity", nullptr, nullptr},
};

QString isoTime(qint64 timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toString(Qt::ISODateWithMs);
}

QByteArray compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

MessageFormat::MessageFormat(const ResolvedOptions& options)
    : m_options(options) {}

QString MessageFormat::nodeId(const QString& station) {
    QString id = QStringLiteral("brisora_") + station;
    for (QChar& c : id) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('_') || c == QLatin1Char('-');
        if (!plain) {
            c = QLatin1Char('_');
        }
    }
    return id;
}

QByteArray MessageFormat::topic(const char* leaf) const {
    return m_options.options.topicPrefix.toUtf8() + '/' + leaf;
}

OutMessage MessageFormat::availability(bool online) const {
    return {topic("availability"), online ? "online" : "offline", true};
}

OutMessage MessageFormat::link(bool up) const {
    return {topic("link"), up ? "ON" : "OFF", true};
}

OutMessage MessageFormat::tick(const archive::Entry& entry) const {
    return entry.isReading() ? state(entry) : event(entry);
}

OutMessage MessageFormat::state(const archive::Entry& entry) const {
    QJsonObject o;
    o.insert(QLatin1String("time"), isoTime(entry.timeMs));
    o.insert(QLatin1String("time_ms"), entry.timeMs);
    o.insert(QLatin1String("humidity_pct"), entry.humidityPct);
    o.insert(QLatin1String("pressure_kpa"), entry.pressureKpa);
    o.insert(QLatin1String("raw_humidity"), entry.rawHumidity);
    o.insert(QLatin1String("raw_pressure"), entry.rawPressure);
    return {topic("state"), compact(o), false};
}

OutMessage MessageFormat::event(const archive::Entry& entry) const {
    // Failure kinds are added over time; one this build does not name still gets its event.
    QString kind = archive::failureKindName(entry.kind);
    if (kind.isEmpty()) {
        kind = QStringLiteral("unknown");
    }
    QJsonObject o;
    o.insert(QLatin1String("time"), isoTime(entry.timeMs));
    o.insert(QLatin1String("time_ms"), entry.timeMs);
    o.insert(QLatin1String("kind"), kind);
    return {topic("event"), compact(o), false};
}

std::vector<OutMessage> MessageFormat::discovery() const {
    std::vector<OutMessage> messages;
    if (!m_options.discovery) {
        return messages;
    }
    const QString& station = m_options.options.station;
    const QString node = nodeId(station);
    const QJsonObject device{
        {QLatin1String("identifiers"), QJsonArray{node}},
        {QLatin1String("name"), QStringLiteral("Brisora %1").arg(station)},
        {QLatin1String("manufacturer"), QStringLiteral("Brisora")},
        {QLatin1String("model"), QStringLiteral("Brisora weather station")},
        {QLatin1String("sw_version"), QStringLiteral(BRISORA_VERSION)},
    };
    for (const SensorSpec& s : kSensors) {
        QJsonObject o;
        o.insert(QLatin1String("name"), QLatin1String(s.name));
        o.insert(QLatin1String("unique_id"), node + QLatin1Char('_') + QLatin1String(s.object));
        o.insert(QLatin1String("device_class"), QLatin1String(s.deviceClass));
        o.insert(QLatin1String("availability_topic"), QString::fromUtf8(availability(true).topic));
        o.insert(QLatin1String("device"), device);
        if (s.stateField) {
            o.insert(QLatin1String("state_topic"), QString::fromUtf8(topic("state")));
            o.insert(QLatin1String("value_template"),
                     QStringLiteral("{{ value_json.%1 }}").arg(QLatin1String(s.stateField)));
            o.insert(QLatin1String("unit_of_measurement"), QString::fromUtf8(s.unit));
            o.insert(QLatin1String("state_class"), QLatin1String("measurement"));
        } else {
            o.insert(QLatin1String("state_topic"), QString::fromUtf8(topic("link")));
            o.insert(QLatin1String("payload_on"), QLatin1String("ON"));
            o.insert(QLatin1String("payload_off"), QLatin1String("OFF"));
        }
        const QByteArray configTopic = m_options.options.discoveryPrefix.toUtf8() + '/' +
                                       s.component + '/' + node.toUtf8() + '/' + s.object +
                                       "/config";
        messages.push_back({configTopic, compact(o), true});
    }
    return messages;
}

} // namespace mqtt

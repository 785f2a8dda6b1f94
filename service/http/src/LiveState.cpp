#include "LiveState.h"

namespace http {

void LiveState::add(const archive::Entry& e) {
    ++m_ticks;
    m_lastTick = e;
    if (e.isReading()) {
        m_lastReading = e;
        m_stats.add(e.timeMs, e.humidityPct, e.pressureKpa);
    } else {
        ++m_failed;
        ++m_failures[archive::failureKindName(e.kind)];
    }
}

void LiveState::setPort(const QString& device, const QString& state) {
    m_device = device;
    m_state = state;
}

qint64 LiveState::silenceMs(qint64 nowMs) const {
    return nowMs - (m_lastReading ? m_lastReading->timeMs : m_startedMs);
}

QJsonObject LiveState::current(const JsonFormat& json, const QString& station, qint64 nowMs) const {
    QJsonObject o;
    o.insert(QStringLiteral("station"), station);
    json.addTime(o, QStringLiteral("now"), nowMs);
    const QJsonValue none = QJsonValue::Null;
    if (m_lastReading) {
        const archive::Entry& r = *m_lastReading;
        json.addTime(o, QStringLiteral("time"), r.timeMs);
        o.insert(QStringLiteral("age_ms"), nowMs - r.timeMs);
        o.insert(QStringLiteral("humidity_pct"), r.humidityPct);
        o.insert(QStringLiteral("pressure_kpa"), r.pressureKpa);
        o.insert(QStringLiteral("raw_humidity"), r.rawHumidity);
        o.insert(QStringLiteral("raw_pressure"), r.rawPressure);
    } else {
        for (const char* key : {"time", "time_ms", "age_ms", "humidity_pct", "pressure_kpa",
                                "raw_humidity", "raw_pressure"}) {
            o.insert(QLatin1StringView(key), none);
        }
    }
    o.insert(QStringLiteral("last_tick"), m_lastTick ? QJsonValue(json.entry(*m_lastTick)) : none);
    o.insert(QStringLiteral("port"),
             QJsonObject{{QStringLiteral("device"), m_device}, {QStringLiteral("state"), m_state}});
    QJsonObject since = json.stats(m_stats, true);
    json.addTime(since, QStringLiteral("started"), m_startedMs);
    since.insert(QStringLiteral("ticks"), m_ticks);
    since.insert(QStringLiteral("failed"), m_failed);
    QJsonObject failures;
    for (auto it = m_failures.cbegin(); it != m_failures.cend(); ++it) {
        failures.insert(it.key(), it.value());
    }
    since.insert(QStringLiteral("failures"), failures);
    o.insert(QStringLiteral("since_start"), since);
    return o;
}

} // namespace http

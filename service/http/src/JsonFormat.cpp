#include "JsonFormat.h"

#include <QDateTime>

namespace http {

QString JsonFormat::isoTime(qint64 timeMs) const {
    return QDateTime::fromMSecsSinceEpoch(timeMs, m_zone).toString(Qt::ISODateWithMs);
}

void JsonFormat::addTime(QJsonObject& o, const QString& prefix, qint64 timeMs) const {
    o.insert(prefix, isoTime(timeMs));
    o.insert(prefix + QLatin1StringView("_ms"), timeMs);
}

QJsonObject JsonFormat::entry(const archive::Entry& e) const {
    QJsonObject o;
    o.insert(QStringLiteral("kind"),
             e.isReading() ? QStringLiteral("reading") : archive::failureKindName(e.kind));
    addTime(o, QStringLiteral("time"), e.timeMs);
    if (e.isReading()) {
        o.insert(QStringLiteral("humidity_pct"), e.humidityPct);
        o.insert(QStringLiteral("pressure_kpa"), e.pressureKpa);
        o.insert(QStringLiteral("raw_humidity"), e.rawHumidity);
        o.insert(QStringLiteral("raw_pressure"), e.rawPressure);
    }
    return o;
}

QJsonObject JsonFormat::quantity(const archive::QuantityStats& q, qint64 count,
                                 bool withTimes) const {
    if (count <= 0) {
        return {{QStringLiteral("min"), QJsonValue::Null},
                {QStringLiteral("max"), QJsonValue::Null},
                {QStringLiteral("mean"), QJsonValue::Null}};
    }
    QJsonObject o{{QStringLiteral("min"), q.min},
                  {QStringLiteral("max"), q.max},
                  {QStringLiteral("mean"), q.sum / static_cast<double>(count)}};
    if (withTimes) {
        addTime(o, QStringLiteral("min_time"), q.minMs);
        addTime(o, QStringLiteral("max_time"), q.maxMs);
    }
    return o;
}

QJsonObject JsonFormat::stats(const archive::ReadingStats& s, bool withTimes) const {
    return {{QStringLiteral("count"), s.count},
            {QStringLiteral("humidity_pct"), quantity(s.humidity, s.count, withTimes)},
            {QStringLiteral("pressure_kpa"), quantity(s.pressure, s.count, withTimes)}};
}

} // namespace http

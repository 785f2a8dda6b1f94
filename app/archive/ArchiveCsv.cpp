#include "ArchiveCsv.h"

#include <QDateTime>
#include <QLocale>

namespace archive {

QString ArchiveCsv::time(qint64 timeMs) const {
    return QDateTime::fromMSecsSinceEpoch(timeMs, m_zone).toString(Qt::ISODateWithMs);
}

QString ArchiveCsv::number(double value) {
    return QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
}

QString ArchiveCsv::readingHeader() {
    return QStringLiteral("time,humidity_pct,pressure_kpa,raw_humidity,raw_pressure");
}

QString ArchiveCsv::readingRow(const Entry& e) const {
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(time(e.timeMs), number(e.humidityPct), number(e.pressureKpa))
        .arg(e.rawHumidity)
        .arg(e.rawPressure);
}

QString ArchiveCsv::dailyHeader() {
    QStringList columns{QStringLiteral("date"), QStringLiteral("count")};
    for (const char* q : {"humidity_pct", "pressure_kpa"}) {
        for (const char* c : {"min", "min_time", "max", "max_time", "mean"}) {
            columns << QStringLiteral("%1_%2").arg(QLatin1StringView(q), QLatin1StringView(c));
        }
    }
    return columns.join(u',');
}

QString ArchiveCsv::dailyRow(const ArchiveReader::DailyRow& row) const {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(row.date.toString(Qt::ISODate))
        .arg(row.stats.count)
        .arg(quantity(row.stats.humidity, row.stats.humidityMean()),
             quantity(row.stats.pressure, row.stats.pressureMean()));
}

QString ArchiveCsv::quantity(const QuantityStats& q, double mean) const {
    return QStringList{number(q.min), time(q.minMs), number(q.max), time(q.maxMs), number(mean)}
        .join(u',');
}

} // namespace archive

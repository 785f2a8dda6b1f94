#include "JsonFormat.h"

#include <QDateTime>

#include <algorithm>
#include <limits>

namespace http {

namespace {

constexpr qint64 kDayMs = 86400000;
constexpr int kDateTimeLength = 23; // yyyy-MM-ddTHH:mm:ss.zzz

QString qtIsoTime(qint64 timeMs, const QTimeZone& zone) {
    return QDateTime::fromMSecsSinceEpoch(timeMs, zone).toString(Qt::ISODateWithMs);
}

void putDigits(QChar*& out, qint64 value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = QChar(u'0' + static_cast<char16_t>(value % 10));
        value /= 10;
    }
    out += width;
}

// Local wall-clock milliseconds as yyyy-MM-ddTHH:mm:ss.zzz (days to a civil date after
// H. Hinnant's algorithm); false outside the years 1000..9999.
bool putDateTime(qint64 localMs, QChar* out) {
    const qint64 days = localMs >= 0 ? localMs / kDayMs : (localMs - kDayMs + 1) / kDayMs;
    const qint64 msOfDay = localMs - days * kDayMs;
    const qint64 z = days + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const qint64 day = doy - (153 * mp + 2) / 5 + 1;
    const qint64 month = mp < 10 ? mp + 3 : mp - 9;
    const qint64 year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    if (year < 1000 || year > 9999) {
        return false;
    }
    putDigits(out, year, 4);
    *out++ = u'-';
    putDigits(out, month, 2);
    *out++ = u'-';
    putDigits(out, day, 2);
    *out++ = u'T';
    putDigits(out, msOfDay / 3600000, 2);
    *out++ = u':';
    putDigits(out, msOfDay / 60000 % 60, 2);
    *out++ = u':';
    putDigits(out, msOfDay / 1000 % 60, 2);
    *out++ = u'.';
    putDigits(out, msOfDay % 1000, 3);
    return true;
}

} // namespace

const JsonFormat::OffsetSpan& JsonFormat::offsetAt(qint64 timeMs) const {
    if (timeMs >= m_span.fromMs && timeMs < m_span.toMs) {
        return m_span;
    }
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(timeMs, m_zone);
    const QTimeZone::OffsetData next = m_zone.nextTransition(at);
    m_span.fromMs = timeMs;
    m_span.toMs =
        next.atUtc.isValid() ? next.atUtc.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    if (const int year = at.date().year(); year < 1000 || year > 9999) {
        m_span.toMs = timeMs + 1; // written by Qt (below); its text is not the common shape
    }
    m_span.offsetMs = qint64(at.offsetFromUtc()) * 1000;
    // The offset's text exactly as Qt writes it for this zone.
    m_span.suffix = at.toString(Qt::ISODateWithMs).mid(kDateTimeLength);
    return m_span;
}

QString JsonFormat::isoTime(qint64 timeMs) const {
    const OffsetSpan& span = offsetAt(timeMs);
    QString text(kDateTimeLength + span.suffix.size(), Qt::Uninitialized);
    if (!putDateTime(timeMs + span.offsetMs, text.data())) {
        return qtIsoTime(timeMs, m_zone);
    }
    std::copy(span.suffix.cbegin(), span.suffix.cend(), text.begin() + kDateTimeLength);
    return text;
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

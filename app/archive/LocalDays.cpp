#include "LocalDays.h"

#include <QDateTime>

namespace archive {

std::vector<LocalDay> LocalDay::range(QDate from, QDate to, const QTimeZone& zone) {
    std::vector<LocalDay> days;
    if (!from.isValid() || !to.isValid() || from > to) {
        return days;
    }
    days.reserve(static_cast<std::size_t>(from.daysTo(to) + 1));
    qint64 start = startOf(from, zone);
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        const qint64 end = startOf(d.addDays(1), zone);
        days.push_back({d, start, end});
        start = end;
    }
    return days;
}

QDate LocalDay::dateOf(qint64 timeMs, const QTimeZone& zone) {
    return QDateTime::fromMSecsSinceEpoch(timeMs, zone).date();
}

qint64 LocalDay::startOf(QDate date, const QTimeZone& zone) {
    return date.startOfDay(zone).toMSecsSinceEpoch();
}

} // namespace archive

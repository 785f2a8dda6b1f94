#pragma once

#include <QDate>
#include <QTimeZone>

#include <vector>

namespace archive {

// One calendar day of a time zone as a span of UTC time: from its local midnight to the next.
// A day with a daylight-saving change lasts 23 or 25 hours; where midnight itself is skipped
// the day starts at the first local time that exists.
struct LocalDay {
    QDate date;
    qint64 startMs = 0;
    qint64 endMs = 0;

    // The days from..to, both included.
    static std::vector<LocalDay> range(QDate from, QDate to, const QTimeZone& zone);
    // The local date of a time.
    static QDate dateOf(qint64 timeMs, const QTimeZone& zone);
    static qint64 startOf(QDate date, const QTimeZone& zone);
};

} // namespace archive

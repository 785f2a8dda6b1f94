#pragma once

#include "ArchiveEntry.h"
#include "ArchiveReader.h"

#include <QString>
#include <QTimeZone>

namespace archive {

// The text forms brisora-archive writes: ISO-8601 local times with their offset from UTC (so
// the repeated hour of a daylight-saving change stays unambiguous), numbers with a decimal
// point and as many digits as tell the stored value apart, whatever the user's locale.
class ArchiveCsv {
public:
    explicit ArchiveCsv(QTimeZone zone)
        : m_zone(std::move(zone)) {}

    QString time(qint64 timeMs) const;
    static QString number(double value);

    static QString readingHeader();
    QString readingRow(const Entry& e) const;

    static QString dailyHeader();
    QString dailyRow(const ArchiveReader::DailyRow& row) const;

private:
    QString quantity(const QuantityStats& q, double mean) const;

    QTimeZone m_zone;
};

} // namespace archive

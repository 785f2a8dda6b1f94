#pragma once

#include <QDate>
#include <QString>
#include <QTimeZone>
#include <QUrlQuery>

#include <initializer_list>

namespace http {

// The query parameters of one API request, read strictly: a parameter the route does not know,
// one given twice, or a value that does not parse is an error naming that parameter.
class ApiParams {
public:
    ApiParams(QUrlQuery query, QTimeZone zone)
        : m_query(std::move(query))
        , m_zone(std::move(zone)) {}

    // False, with the error, when a parameter is not among `known` or is given twice.
    bool onlyKnown(std::initializer_list<const char*> known, QString& error) const;
    bool has(const char* name) const;

    // Epoch milliseconds, an ISO 8601 date and time (local time of the zone when it names no
    // offset) or a date (its local midnight; with endOfDay the next one, so `to` includes the
    // day). Leaves `out` alone when the parameter is absent.
    bool time(const char* name, bool endOfDay, qint64& out, QString& error) const;
    // A date YYYY-MM-DD.
    bool date(const char* name, QDate& out, QString& error) const;
    bool integer(const char* name, int min, int max, int& out, QString& error) const;
    // A name of 1 to maxLength printable characters.
    bool name(const char* name, int maxLength, QString& out, QString& error) const;

private:
    QString value(const char* name) const;

    QUrlQuery m_query;
    QTimeZone m_zone;
};

} // namespace http

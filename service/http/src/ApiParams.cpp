#include "ApiParams.h"

#include "archive/LocalDays.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>

namespace http {

namespace {

QString bad(const char* name, const QString& why) {
    return QStringLiteral("%1: %2").arg(QLatin1StringView(name), why);
}

} // namespace

bool ApiParams::onlyKnown(std::initializer_list<const char*> known, QString& error) const {
    QStringList seen;
    for (const auto& item : m_query.queryItems(QUrl::FullyDecoded)) {
        const QString& name = item.first;
        if (std::none_of(known.begin(), known.end(),
                         [&](const char* k) { return name == QLatin1StringView(k); })) {
            error = QStringLiteral("%1: unknown parameter").arg(name.left(64));
            return false;
        }
        if (seen.contains(name)) {
            error = QStringLiteral("%1: given more than once").arg(name);
            return false;
        }
        seen << name;
    }
    return true;
}

bool ApiParams::has(const char* name) const {
    return m_query.hasQueryItem(QLatin1StringView(name));
}

QString ApiParams::value(const char* name) const {
    return m_query.queryItemValue(QLatin1StringView(name), QUrl::FullyDecoded).trimmed();
}

bool ApiParams::time(const char* name, bool endOfDay, qint64& out, QString& error) const {
    if (!has(name)) {
        return true;
    }
    const QString text = value(name);
    static const QRegularExpression epoch(QStringLiteral("^-?[0-9]{1,15}$"));
    if (epoch.match(text).hasMatch()) {
        out = text.toLongLong();
        return true;
    }
    if (text.size() == 10) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (d.isValid()) {
            out = archive::LocalDay::startOf(endOfDay ? d.addDays(1) : d, m_zone);
            return true;
        }
    }
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (t.isValid() && t.timeSpec() == Qt::LocalTime) {
        t = QDateTime(t.date(), t.time(), m_zone);
    }
    if (!t.isValid()) {
        error = bad(name, QStringLiteral("not a date, an ISO 8601 time or epoch milliseconds"));
        return false;
    }
    out = t.toMSecsSinceEpoch();
    return true;
}

bool ApiParams::date(const char* name, QDate& out, QString& error) const {
    if (!has(name)) {
        return true;
    }
    const QString text = value(name);
    const QDate d = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (!d.isValid()) {
        error = bad(name, QStringLiteral("not a date YYYY-MM-DD"));
        return false;
    }
    out = d;
    return true;
}

bool ApiParams::integer(const char* name, int min, int max, int& out, QString& error) const {
    if (!has(name)) {
        return true;
    }
    bool ok = false;
    const qlonglong n = value(name).toLongLong(&ok);
    if (!ok || n < min || n > max) {
        error = bad(name, QStringLiteral("must be a whole number from %1 to %2").arg(min).arg(max));
        return false;
    }
    out = static_cast<int>(n);
    return true;
}

bool ApiParams::name(const char* name, int maxLength, QString& out, QString& error) const {
    if (!has(name)) {
        return true;
    }
    const QString text = value(name);
    if (text.isEmpty() || text.size() > maxLength ||
        !std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); })) {
        error = bad(
            name, QStringLiteral("must be a name of 1 to %1 printable characters").arg(maxLength));
        return false;
    }
    out = text;
    return true;
}

} // namespace http

#include "ArchiveLocation.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>
#include <QUrl>
#include <QUrlQuery>

namespace archive {

namespace {

const QStringList kSslModes{QStringLiteral("disable"),   QStringLiteral("allow"),
                            QStringLiteral("prefer"),    QStringLiteral("require"),
                            QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

bool isServerUrl(const QString& value) {
    return value.startsWith(QLatin1StringView("postgresql://"), Qt::CaseInsensitive) ||
           value.startsWith(QLatin1StringView("postgres://"), Qt::CaseInsensitive);
}

ArchiveLocation invalid(QString why) {
    ArchiveLocation where;
    where.server = true;
    where.error = std::move(why);
    return where;
}

// The URL again, as messages may show it: no password (there is none), no other parameters.
QString shown(const ArchiveLocation& where) {
    QString text = QStringLiteral("postgresql://");
    if (!where.user.isEmpty()) {
        text += QString::fromUtf8(QUrl::toPercentEncoding(where.user)) + QLatin1Char('@');
    }
    text += where.host;
    if (where.port > 0) {
        text += QLatin1Char(':') + QString::number(where.port);
    }
    text += QLatin1Char('/') + QString::fromUtf8(QUrl::toPercentEncoding(where.database));
    QStringList query;
    if (!where.station.isEmpty()) {
        query << QStringLiteral("station=") +
                     QString::fromUtf8(QUrl::toPercentEncoding(where.station));
    }
    if (!where.sslMode.isEmpty()) {
        query << QStringLiteral("sslmode=") + where.sslMode;
    }
    return query.isEmpty() ? text : text + QLatin1Char('?') + query.join(QLatin1Char('&'));
}

ArchiveLocation parseServer(const QString& value) {
    const QUrl url(value, QUrl::StrictMode);
    if (!url.isValid()) {
        return invalid(QStringLiteral("la URL del archivo no se entiende"));
    }
    if (!url.password().isEmpty()) {
        return invalid(QStringLiteral("la URL del archivo lleva una contraseña: póngala en el "
                                      "fichero de contraseñas de PostgreSQL (~/.pgpass)"));
    }
    ArchiveLocation where;
    where.server = true;
    where.user = url.userName(QUrl::FullyDecoded);
    where.host = url.host();
    where.port = url.port(0);
    where.database = url.path(QUrl::FullyDecoded).mid(1);
    if (where.database.isEmpty() || where.database.contains(QLatin1Char('/'))) {
        return invalid(QStringLiteral("la URL del archivo no nombra ninguna base de datos"));
    }
    const QUrlQuery query(url);
    for (const auto& [key, item] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == u"station") {
            where.station = item.trimmed();
        } else if (key == u"sslmode" && kSslModes.contains(item)) {
            where.sslMode = item;
        } else if (key == u"sslmode") {
            return invalid(QStringLiteral("sslmode desconocido en la URL del archivo: ") + item);
        } else if (key == u"password") {
            return invalid(QStringLiteral("la URL del archivo lleva una contraseña: póngala en el "
                                          "fichero de contraseñas de PostgreSQL (~/.pgpass)"));
        } else {
            return invalid(QStringLiteral("parámetro desconocido en la URL del archivo: ") + key);
        }
    }
    where.path = shown(where);
    return where;
}

} // namespace

ArchiveLocation ArchiveLocation::parse(const QString& text) {
    const QString value = text.trimmed();
    if (value.compare(QLatin1StringView("off"), Qt::CaseInsensitive) == 0) {
        ArchiveLocation off;
        off.enabled = false;
        return off;
    }
    if (isServerUrl(value)) {
        return parseServer(value);
    }
    ArchiveLocation file;
    file.path = value.isEmpty() ? defaultPath() : QDir::cleanPath(value);
    return file;
}

ArchiveLocation ArchiveLocation::fromEnvironment() {
    return parse(qEnvironmentVariable(kVariable));
}

QString ArchiveLocation::defaultPath() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    }
    return QDir(base).filePath(QStringLiteral("brisora/archive.sqlite"));
}

QString ArchiveLocation::defaultStation() {
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QStringLiteral("brisora") : name;
}

} // namespace archive

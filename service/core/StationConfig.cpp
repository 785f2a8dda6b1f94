#include "StationConfig.h"

#include "archive/ArchiveLocation.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

#include <sys/stat.h>

namespace service {

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;
constexpr int kMaxStationLength = 32;

std::optional<StationConfig> refuse(ConfigError* error, const QString& key, const QString& why) {
    if (error) {
        *error = {key, why};
    }
    return std::nullopt;
}

// QSettings turns a value with commas into a list; the file meant the text.
QString textOf(const QVariant& value) {
    if (value.metaType().id() == QMetaType::QStringList) {
        return value.toStringList().join(u',');
    }
    return value.toString();
}

bool parseBool(const QString& text, bool* value) {
    const QString t = text.trimmed().toLower();
    if (t == u"true" || t == u"yes" || t == u"on" || t == u"1") {
        *value = true;
        return true;
    }
    if (t == u"false" || t == u"no" || t == u"off" || t == u"0") {
        *value = false;
        return true;
    }
    return false;
}

// Why a port path cannot name a serial device, or an empty text. A device that is not there
// (yet) is fine: the service waits for it.
QString portProblem(const QString& path) {
    if (path.isEmpty() || !path.startsWith(u'/')) {
        return QStringLiteral("must be an absolute device path such as /dev/ttyUSB0");
    }
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISCHR(st.st_mode)) {
        return QStringLiteral("%1 is not a character device").arg(path);
    }
    return {};
}

QString archiveProblem(const QString& path) {
    if (path == u"off") {
        return {};
    }
    const archive::ArchiveLocation where = archive::ArchiveLocation::parse(path);
    if (where.server) {
        return where.error;
    }
    if (!path.startsWith(u'/')) {
        return QStringLiteral("must be an absolute file path, a postgresql:// URL or off");
    }
    if (QFileInfo(path).isDir()) {
        return QStringLiteral("%1 is a folder, not a file").arg(path);
    }
    return {};
}

QString intervalProblem(const QString& text, int* value) {
    bool ok = false;
    const int ms = text.trimmed().toInt(&ok);
    if (!ok) {
        return QStringLiteral("must be a whole number of milliseconds");
    }
    if (ms < StationConfig::kMinimumIntervalMs) {
        return QStringLiteral("%1 ms is shorter than one tick's exchanges at 9600 bit/s "
                              "(at least %2 ms)")
            .arg(ms)
            .arg(StationConfig::kMinimumIntervalMs);
    }
    if (ms > 24 * 60 * 60 * 1000) {
        return QStringLiteral("must not exceed a day");
    }
    *value = ms;
    return {};
}

// "host:port" with a numeric port; sets whether the host is a loopback address.
QString listenProblem(const QString& text, bool* loopback) {
    if (text == u"off") {
        return {};
    }
    const qsizetype colon = text.lastIndexOf(u':');
    bool ok = false;
    const int port = colon > 0 ? text.mid(colon + 1).toInt(&ok) : 0;
    if (!ok || port < 1 || port > 65535) {
        return QStringLiteral("must be host:port (port 1-65535) or off");
    }
    QString host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']')) {
        host = host.mid(1, host.size() - 2);
    }
    if (host == u"localhost") {
        *loopback = true;
        return {};
    }
    const QHostAddress address(host);
    if (address.isNull()) {
        return QStringLiteral("%1 is not an IP address").arg(host);
    }
    *loopback = address.isLoopback();
    return {};
}

QString mqttUrlProblem(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"mqtt" && url.scheme() != u"mqtts") ||
        url.host().isEmpty() || !url.userInfo().isEmpty() ||
        (url.path() != u"" && url.path() != u"/")) {
        return QStringLiteral("must be mqtt://host:port or mqtts://host:port");
    }
    return {};
}

QString absoluteFileProblem(const QString& path) {
    return path.isEmpty() || path.startsWith(u'/') ? QString()
                                                   : QStringLiteral("must be an absolute path");
}

bool validTopicPart(const QString& text) {
    return !text.isEmpty() && !text.contains(u'#') && !text.contains(u'+') &&
           !text.startsWith(u'/') && !text.endsWith(u'/') && text.size() <= 128;
}

} // namespace

QStringList StationConfig::keys() {
    return {QStringLiteral("port"),
            QStringLiteral("station"),
            QStringLiteral("archive"),
            QStringLiteral("interval_ms"),
            QStringLiteral("listen"),
            QStringLiteral("token"),
            QStringLiteral("allow_anonymous"),
            QStringLiteral("mqtt/url"),
            QStringLiteral("mqtt/username"),
            QStringLiteral("mqtt/password_file"),
            QStringLiteral("mqtt/ca_file"),
            QStringLiteral("mqtt/client_id"),
            QStringLiteral("mqtt/topic_prefix"),
            QStringLiteral("mqtt/discovery_prefix"),
            QStringLiteral("mqtt/qos")};
}

std::optional<StationConfig> StationConfig::load(const QString& file,
                                                 const QMap<QString, QString>& overrides,
                                                 ConfigError* error) {
    const QString config = QStringLiteral("config");
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly)) {
        return refuse(error, config,
                      QStringLiteral("cannot read %1: %2").arg(file, probe.errorString()));
    }
    if (probe.size() > kMaxFileBytes) {
        return refuse(error, config,
                      QStringLiteral("%1 is larger than %2 bytes").arg(file).arg(kMaxFileBytes));
    }
    probe.close();
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return refuse(error, config, QStringLiteral("%1 is not a valid INI file").arg(file));
    }
    const QStringList known = keys();
    QMap<QString, QString> values;
    for (const QString& key : settings.allKeys()) {
        if (!known.contains(key)) {
            return refuse(error, key, QStringLiteral("unknown key in %1").arg(file));
        }
        values.insert(key, textOf(settings.value(key)));
    }
    for (auto it = overrides.begin(); it != overrides.end(); ++it) {
        values.insert(it.key(), it.value());
    }
    return fromValues(values, error);
}

std::optional<StationConfig> StationConfig::fromValues(const QMap<QString, QString>& values,
                                                       ConfigError* error) {
    const QStringList known = keys();
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!known.contains(it.key())) {
            return refuse(error, it.key(), QStringLiteral("unknown key"));
        }
    }
    StationConfig c;
    const auto text = [&values](const char* key, const QString& fallback) {
        return values.value(QString::fromLatin1(key), fallback).trimmed();
    };
    c.port = text("port", c.port);
    if (const QString why = portProblem(c.port); !why.isEmpty()) {
        return refuse(error, QStringLiteral("port"), why);
    }
    c.station = text("station", c.station);
    static const QRegularExpression stationName(QStringLiteral("^[A-Za-z0-9_-]+$"));
    if (!stationName.match(c.station).hasMatch() || c.station.size() > kMaxStationLength) {
        return refuse(
            error, QStringLiteral("station"),
            QStringLiteral("must be 1 to %1 letters, digits, '-' or '_'").arg(kMaxStationLength));
    }
    c.archive = text("archive", c.archive);
    if (const QString why = archiveProblem(c.archive); !why.isEmpty()) {
        return refuse(error, QStringLiteral("archive"), why);
    }
    if (values.contains(QStringLiteral("interval_ms"))) {
        if (const QString why = intervalProblem(text("interval_ms", {}), &c.intervalMs);
            !why.isEmpty()) {
            return refuse(error, QStringLiteral("interval_ms"), why);
        }
    }
    c.token = values.value(QStringLiteral("token"));
    if (values.contains(QStringLiteral("allow_anonymous")) &&
        !parseBool(text("allow_anonymous", {}), &c.allowAnonymous)) {
        return refuse(error, QStringLiteral("allow_anonymous"),
                      QStringLiteral("must be true or false"));
    }
    c.listen = text("listen", c.listen);
    bool loopback = true;
    if (const QString why = listenProblem(c.listen, &loopback); !why.isEmpty()) {
        return refuse(error, QStringLiteral("listen"), why);
    }
    if (c.webEnabled() && !loopback && c.token.isEmpty() && !c.allowAnonymous) {
        return refuse(error, QStringLiteral("listen"),
                      QStringLiteral("%1 is not a loopback address: set token, or "
                                     "allow_anonymous = true")
                          .arg(c.listen));
    }
    c.mqtt.url = text("mqtt/url", {});
    if (const QString why = mqttUrlProblem(c.mqtt.url); !why.isEmpty()) {
        return refuse(error, QStringLiteral("mqtt/url"), why);
    }
    c.mqtt.username = text("mqtt/username", {});
    c.mqtt.passwordFile = text("mqtt/password_file", {});
    if (const QString why = absoluteFileProblem(c.mqtt.passwordFile); !why.isEmpty()) {
        return refuse(error, QStringLiteral("mqtt/password_file"), why);
    }
    c.mqtt.caFile = text("mqtt/ca_file", {});
    if (const QString why = absoluteFileProblem(c.mqtt.caFile); !why.isEmpty()) {
        return refuse(error, QStringLiteral("mqtt/ca_file"), why);
    }
    c.mqtt.clientId = text("mqtt/client_id", QStringLiteral("brisora-") + c.station);
    if (c.mqtt.clientId.isEmpty() || c.mqtt.clientId.size() > 64) {
        return refuse(error, QStringLiteral("mqtt/client_id"),
                      QStringLiteral("must be 1 to 64 characters"));
    }
    c.mqtt.topicPrefix = text("mqtt/topic_prefix", QStringLiteral("brisora/") + c.station);
    if (!validTopicPart(c.mqtt.topicPrefix)) {
        return refuse(error, QStringLiteral("mqtt/topic_prefix"),
                      QStringLiteral("must be a topic without wildcards or outer '/'"));
    }
    c.mqtt.discoveryPrefix = text("mqtt/discovery_prefix", QStringLiteral("homeassistant"));
    if (!validTopicPart(c.mqtt.discoveryPrefix)) {
        return refuse(error, QStringLiteral("mqtt/discovery_prefix"),
                      QStringLiteral("must be a topic without wildcards, or off"));
    }
    if (values.contains(QStringLiteral("mqtt/qos"))) {
        bool ok = false;
        c.mqtt.qos = text("mqtt/qos", {}).toInt(&ok);
        if (!ok || c.mqtt.qos < 0 || c.mqtt.qos > 2) {
            return refuse(error, QStringLiteral("mqtt/qos"), QStringLiteral("must be 0, 1 or 2"));
        }
    }
    return c;
}

QString StationConfig::describe() const {
    const auto yesNo = [](bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); };
    QString out;
    out += QStringLiteral("port = %1\n").arg(port);
    out += QStringLiteral("station = %1\n").arg(station);
    out += QStringLiteral("archive = %1\n").arg(archive);
    out += QStringLiteral("interval_ms = %1\n").arg(intervalMs);
    out += QStringLiteral("listen = %1\n").arg(listen);
    out +=
        QStringLiteral("token = %1\n").arg(token.isEmpty() ? QString() : QStringLiteral("(set)"));
    out += QStringLiteral("allow_anonymous = %1\n").arg(yesNo(allowAnonymous));
    out += QStringLiteral("\n[mqtt]\n");
    out += QStringLiteral("url = %1\n").arg(mqtt.url);
    out += QStringLiteral("username = %1\n").arg(mqtt.username);
    out += QStringLiteral("password_file = %1\n").arg(mqtt.passwordFile);
    out += QStringLiteral("ca_file = %1\n").arg(mqtt.caFile);
    out += QStringLiteral("client_id = %1\n").arg(mqtt.clientId);
    out += QStringLiteral("topic_prefix = %1\n").arg(mqtt.topicPrefix);
    out += QStringLiteral("discovery_prefix = %1\n").arg(mqtt.discoveryPrefix);
    out += QStringLiteral("qos = %1\n").arg(mqtt.qos);
    return out;
}

} // namespace service

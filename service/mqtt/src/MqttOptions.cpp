#include "mqtt/MqttOptions.h"

#include <QFile>
#include <QUrl>

namespace mqtt {

namespace {

constexpr quint16 kPlainPort = 1883;
constexpr quint16 kTlsPort = 8883;
constexpr qint64 kPasswordFileMax = 4096;
constexpr int kMaxQos = 2;

// A topic level or prefix we publish under: no wildcards, no empty levels, no NUL.
bool isPublishableTopic(const QString& topic) {
    if (topic.isEmpty() || topic.contains(QLatin1Char('+')) || topic.contains(QLatin1Char('#')) ||
        topic.contains(QChar(0))) {
        return false;
    }
    return !topic.split(QLatin1Char('/')).contains(QString());
}

HRESULT refuse(QString* error, const QString& reason) {
    if (error) {
        *error = reason;
    }
    return com::E_INVALIDARG;
}

} // namespace

HRESULT parseBrokerUrl(const QString& url, BrokerAddress* address, QString* error) {
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme();
    if (!parsed.isValid() ||
        (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))) {
        return refuse(error, QStringLiteral("the broker URL must be mqtt://host[:port] or "
                                            "mqtts://host[:port]"));
    }
    if (parsed.host().isEmpty()) {
        return refuse(error, QStringLiteral("the broker URL names no host"));
    }
    if (!parsed.userInfo().isEmpty() || (!parsed.path().isEmpty() && parsed.path() != "/") ||
        parsed.hasQuery() || parsed.hasFragment()) {
        return refuse(error, QStringLiteral("the broker URL holds only scheme, host and port "
                                            "(the user name and password have keys of their own)"));
    }
    BrokerAddress result;
    result.tls = scheme == QLatin1String("mqtts");
    result.host = parsed.host();
    const int port = parsed.port(result.tls ? kTlsPort : kPlainPort);
    if (port <= 0 || port > 65535) {
        return refuse(error, QStringLiteral("the broker URL's port is out of range"));
    }
    result.port = static_cast<quint16>(port);
    *address = result;
    return com::S_OK;
}

HRESULT resolveOptions(const MqttOptions& options, ResolvedOptions* resolved, QString* error) {
    ResolvedOptions r;
    r.options = options;
    if (const HRESULT hr = parseBrokerUrl(options.url, &r.broker, error); com::failed(hr)) {
        return hr;
    }
    MqttOptions& o = r.options;
    if (o.station.isEmpty()) {
        return refuse(error, QStringLiteral("the station has no name"));
    }
    if (o.clientId.isEmpty()) {
        o.clientId = QStringLiteral("brisora-") + o.station;
    }
    if (o.topicPrefix.isEmpty()) {
        o.topicPrefix = QStringLiteral("brisora/") + o.station;
    }
    r.discovery = !o.discoveryPrefix.isEmpty() && o.discoveryPrefix != QLatin1String("off");
    if (o.clientId.toUtf8().size() > 65535) {
        return refuse(error, QStringLiteral("the client id is too long"));
    }
    if (!isPublishableTopic(o.topicPrefix)) {
        return refuse(error, QStringLiteral("the topic prefix must be a topic without + or # "
                                            "and without empty levels"));
    }
    if (r.discovery && !isPublishableTopic(o.discoveryPrefix)) {
        return refuse(error, QStringLiteral("the discovery prefix must be a topic without + or "
                                            "# and without empty levels, or off"));
    }
    if (o.qos < 0 || o.qos > kMaxQos) {
        return refuse(error, QStringLiteral("qos must be 0, 1 or 2"));
    }
    if (!o.passwordFile.isEmpty() && o.username.isEmpty()) {
        return refuse(error, QStringLiteral("a password file needs a user name"));
    }
    if (!o.caFile.isEmpty() && !r.broker.tls) {
        return refuse(error, QStringLiteral("ca_file is for mqtts:// brokers"));
    }
    if (o.queueLimit < 1 || o.reconnectMinMs < 1 || o.reconnectMaxMs < o.reconnectMinMs ||
        o.keepAliveS < 5 || o.shutdownDrainMs < 0) {
        return refuse(error, QStringLiteral("the queue and timing settings are out of range"));
    }
    *resolved = r;
    return com::S_OK;
}

HRESULT readPasswordFile(const QString& path, QByteArray* password, QString* error) {
    QFile file(path);
    if (!file.exists()) {
        if (error) {
            *error = QStringLiteral("the password file %1 does not exist").arg(path);
        }
        return com::STG_E_FILENOTFOUND;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = QStringLiteral("the password file %1 cannot be read: %2")
                         .arg(path, file.errorString());
        }
        return com::STG_E_READFAULT;
    }
    const QByteArray content = file.read(kPasswordFileMax + 1);
    if (content.size() > kPasswordFileMax) {
        return refuse(error, QStringLiteral("the password file %1 is larger than %2 bytes")
                                 .arg(path)
                                 .arg(kPasswordFileMax));
    }
    qsizetype end = content.indexOf('\n');
    if (end < 0) {
        end = content.size();
    }
    QByteArray line = content.left(end);
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    *password = line;
    return com::S_OK;
}

} // namespace mqtt

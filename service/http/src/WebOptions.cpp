#include "http/WebOptions.h"

namespace http {

QString WebOptions::parseListen(const QString& text, WebOptions& out, bool& enabled) {
    const QString t = text.trimmed();
    enabled = t.compare(QLatin1StringView("off"), Qt::CaseInsensitive) != 0;
    if (!enabled) {
        return {};
    }
    QString host = t;
    QString port;
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close < 0) {
            return QStringLiteral("listen: missing ']' in \"%1\"").arg(t);
        }
        host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':')) {
            return QStringLiteral("listen: \"%1\" is not host:port").arg(t);
        }
        port = rest.mid(1);
    } else if (t.count(u':') == 1) {
        host = t.section(u':', 0, 0);
        port = t.section(u':', 1);
    }
    QHostAddress address;
    if (host == u"localhost") {
        address = QHostAddress(QHostAddress::LocalHost);
    } else if (host.isEmpty() || host == u"*") {
        address = QHostAddress(QHostAddress::Any);
    } else if (!address.setAddress(host)) {
        return QStringLiteral("listen: \"%1\" is not an IP address").arg(host);
    }
    quint16 number = kDefaultPort;
    if (!port.isEmpty()) {
        bool ok = false;
        const uint p = port.toUInt(&ok);
        if (!ok || p == 0 || p > 65535) {
            return QStringLiteral("listen: \"%1\" is not a port number").arg(port);
        }
        number = static_cast<quint16>(p);
    }
    out.address = address;
    out.port = number;
    return {};
}

QString WebOptions::refusal() const {
    if (address.isLoopback() || !token.isEmpty() || allowAnonymous) {
        return {};
    }
    return QStringLiteral("listen: %1 is not a loopback address; set token, or allow_anonymous = "
                          "true for a trusted network")
        .arg(address.toString());
}

} // namespace http

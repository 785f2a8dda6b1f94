#pragma once

#include "com/HResult.h"

#include <QString>
#include <QtGlobal>

namespace mqtt {

using com::HRESULT;

// How the station reaches its broker and names what it publishes there.
struct MqttOptions {
    QString url;          // mqtt://host[:port] (1883) or mqtts://host[:port] (8883)
    QString username;     // empty: no authentication
    QString passwordFile; // the password is the file's first line; never written anywhere
    QString caFile;       // mqtts: the authority that signed the broker's certificate;
                          // empty: the system's authorities
    QString station;      // the station's name, in the default client id, topics and device
    QString clientId;     // empty: "brisora-<station>"
    QString topicPrefix;  // empty: "brisora/<station>"
    QString discoveryPrefix = QStringLiteral("homeassistant"); // "off" or empty: no discovery
    int qos = 1;

    // Ticks kept while the broker cannot be reached; beyond that the oldest are dropped.
    qsizetype queueLimit = 86400;
    // Waits between connection attempts: from the first, doubling up to the last.
    int reconnectMinMs = 1000;
    int reconnectMaxMs = 60000;
    int keepAliveS = 60;
    // On shutdown: how long the ticks still queued and then the "offline" message may take
    // to reach the broker, together.
    int shutdownDrainMs = 2000;
};

// The broker's address as the URL gives it.
struct BrokerAddress {
    QString host;
    quint16 port = 0;
    bool tls = false;
};

// Options with every default filled in, checked.
struct ResolvedOptions {
    MqttOptions options;
    BrokerAddress broker;
    bool discovery = true;
};

// S_OK and the address, or E_INVALIDARG with the reason in `error`.
[[nodiscard]] HRESULT parseBrokerUrl(const QString& url, BrokerAddress* address, QString* error);

// Checks the options and fills in the defaults; E_INVALIDARG with the reason in `error`.
[[nodiscard]] HRESULT resolveOptions(const MqttOptions& options, ResolvedOptions* resolved,
                                     QString* error);

// The password from its file: S_OK, or STG_E_FILENOTFOUND / STG_E_READFAULT / E_INVALIDARG
// (larger than a password can be) with the reason in `error`. The reason never holds the
// password.
[[nodiscard]] HRESULT readPasswordFile(const QString& path, QByteArray* password, QString* error);

} // namespace mqtt

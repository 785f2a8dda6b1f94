#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace service {

// Why a configuration was refused: the key at fault ("config" for the file itself) and why.
struct ConfigError {
    QString key;
    QString reason;
    QString text() const { return key + QStringLiteral(": ") + reason; }
};

// The station service's settings: an INI file read through QSettings, then the command line's
// overrides, then validation. Every key the file or the command line names must be known.
struct StationConfig {
    // The MQTT outlet ([mqtt] section). An empty url turns it off.
    struct Mqtt {
        QString url;
        QString username;
        QString passwordFile;
        QString caFile;
        QString clientId;        // default brisora-<station>
        QString topicPrefix;     // default brisora/<station>
        QString discoveryPrefix; // default homeassistant; "off" disables discovery
        int qos = 1;

        bool operator==(const Mqtt&) const = default;
    };

    static constexpr const char* kDefaultFile = "/etc/brisora/station.conf";
    static constexpr int kDefaultIntervalMs = 1000;
    // A tick is two exchanges of an eight-byte request and an eight-byte reply at 9600 bit/s
    // (ten bits a byte): 2 * 16 * 10 / 9600 s, just over 33 ms. No shorter interval can hold.
    static constexpr int kMinimumIntervalMs = 34;

    QString port = QStringLiteral("/dev/ttyUSB0");
    QString station = QStringLiteral("station");
    QString archive = QStringLiteral("/var/lib/brisora/archive.sqlite"); // "off": no archive
    int intervalMs = kDefaultIntervalMs;
    QString listen = QStringLiteral("127.0.0.1:8470"); // "off": no web server
    QString token;
    bool allowAnonymous = false;
    Mqtt mqtt;

    bool archiveEnabled() const { return archive != u"off"; }
    bool webEnabled() const { return listen != u"off"; }
    bool mqttEnabled() const { return !mqtt.url.isEmpty(); }

    // The keys as the file spells them; those of a section are "section/key".
    static QStringList keys();

    // Reads `file` and applies `overrides` (key -> value, keys spelt as in keys()). A missing
    // or unreadable file, a syntax error, an unknown or a bad key refuses the whole.
    static std::optional<StationConfig>
    load(const QString& file, const QMap<QString, QString>& overrides, ConfigError* error);
    // The same from values alone (no file).
    static std::optional<StationConfig> fromValues(const QMap<QString, QString>& values,
                                                   ConfigError* error);

    // The settings in the file's own form, secrets hidden, for --check-config and the log.
    QString describe() const;

    bool operator==(const StationConfig&) const = default;
};

} // namespace service

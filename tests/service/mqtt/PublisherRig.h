// What the publisher tests share: a log that records, made-up ticks and their payloads.
#pragma once

#include "archive/ArchiveEntry.h"
#include "mqtt/MqttLog.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <mutex>

namespace mqtttest {

// Records the publisher's log lines as "<priority>text".
class LogSink {
public:
    mqtt::LogFunction function() {
        return [this](mqtt::LogPriority priority, const QString& text) {
            std::lock_guard lock(m_mutex);
            m_lines.append(QStringLiteral("<%1>").arg(static_cast<int>(priority)) + text);
        };
    }
    QStringList lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    int count(const QString& needle) const {
        int n = 0;
        for (const QString& line : lines()) {
            n += line.contains(needle) ? 1 : 0;
        }
        return n;
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
};

// Tick `i`: one second after the last, values that differ from tick to tick.
inline constexpr qint64 kFirstTickMs = 1700000000000; // 2023-11-14T22:13:20Z

inline archive::Entry reading(int i) {
    return archive::Entry::reading(kFirstTickMs + i * 1000LL, 40.0 + i * 0.5, 101.0 + i * 0.01,
                                   static_cast<quint16>(400 + i), static_cast<quint16>(800 + i));
}

inline archive::Entry failure(int i, archive::EntryKind kind) {
    return archive::Entry::failure(kFirstTickMs + i * 1000LL, kind);
}

inline QJsonObject json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

} // namespace mqtttest

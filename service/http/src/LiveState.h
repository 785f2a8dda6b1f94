#pragma once

#include "JsonFormat.h"

#include "archive/ArchiveEntry.h"
#include "archive/ReadingStats.h"

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

namespace http {

// What the server has seen since it started: the last tick and the last reading, the port's
// state, and the count, failures and extremes of every tick since start.
class LiveState {
public:
    explicit LiveState(qint64 startedMs)
        : m_startedMs(startedMs) {}

    // Forgets everything seen; the figures count from startedMs.
    void restart(qint64 startedMs) { *this = LiveState(startedMs); }
    void add(const archive::Entry& e);
    void setPort(const QString& device, const QString& state);

    qint64 ticks() const { return m_ticks; }
    const std::optional<archive::Entry>& lastReading() const { return m_lastReading; }
    const QString& portDevice() const { return m_device; }
    const QString& portState() const { return m_state; }

    // How long since the last reading (or since start, when none came yet).
    qint64 silenceMs(qint64 nowMs) const;

    // The body of /api/current.
    QJsonObject current(const JsonFormat& json, const QString& station, qint64 nowMs) const;

private:
    qint64 m_startedMs;
    qint64 m_ticks = 0;
    qint64 m_failed = 0;
    QMap<QString, qint64> m_failures; // per failure kind name
    archive::ReadingStats m_stats;
    std::optional<archive::Entry> m_lastTick;
    std::optional<archive::Entry> m_lastReading;
    QString m_device;
    QString m_state = QStringLiteral("closed");
};

} // namespace http

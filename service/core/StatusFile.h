#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace service {

// What the service tells an operator without the journal, as a small JSON file in its state
// folder (status.json), rewritten now and then and on every change of the port; read back by
// `brisora-station --status`.
struct StationStatus {
    qint64 pid = 0;
    bool running = false;
    QString station;
    QString device;
    QString portState;
    QString archiveState; // "writing", "retrying", "off"
    QString archivePath;
    qint64 startedMs = 0; // UTC ms
    qint64 updatedMs = 0;
    quint64 readings = 0;
    quint64 failedTicks = 0;
    bool hasReading = false;
    qint64 lastReadingMs = 0;
    double humidityPct = 0.0;
    double pressureKpa = 0.0;
};

class StatusFile {
public:
    static constexpr const char* kFileName = "status.json";

    explicit StatusFile(QString path = defaultPath())
        : m_path(std::move(path)) {}

    // In systemd's STATE_DIRECTORY when set, else /var/lib/brisora.
    static QString defaultPath();
    QString path() const { return m_path; }

    // Replaces the file in one step. False when it cannot be written.
    bool write(const StationStatus& status) const;
    // Reads the file; nullopt with the reason when it is missing or not a status file.
    std::optional<StationStatus> read(QString* error) const;

    // The text of --status; `alive` is whether the pid still runs.
    static QString describe(const StationStatus& status, bool alive);
    // Whether a process with this pid exists.
    static bool processAlive(qint64 pid);

private:
    QString m_path;
};

} // namespace service

#pragma once

#include "core/JournalLog.h"
#include "core/StationConfig.h"
#include "core/StationRunner.h"
#include "core/StatusFile.h"
#include "core/SystemdNotify.h"

#include "forms/Timer.h"

#include <QMap>
#include <QObject>
#include <QSet>

#include <functional>
#include <memory>
#include <vector>

namespace service {

// The station service as one object: builds a StationRunner from the configuration, wires the
// outlets the readings go to (the archive inside the runner; MQTT and the web server beside
// it), logs what happens for the journal, keeps systemd and the status file told, and carries
// out the signals: shutdown() for SIGTERM and SIGINT, reload() for SIGHUP.
class StationService : public QObject {
    Q_OBJECT
public:
    struct Setup {
        QString configFile;               // re-read by reload()
        QMap<QString, QString> overrides; // the command line's, kept over a reload
        QString statusPath = StatusFile::defaultPath();
        int statusPeriodMs = 10 * 1000;
    };

    StationService(StationConfig config, Setup setup, JournalLog& log, SystemdNotify& notify,
                   QObject* parent = nullptr);
    ~StationService() override;

    // Opens the port and the archive, starts the outlets and the ticks, tells systemd READY.
    void start();
    // Re-reads the configuration file; a bad one is logged and the running settings stay.
    void reload();
    // Lets the exchange under way finish, flushes the archive, lets each outlet finish, then
    // emits finished(0).
    void shutdown();

    const StationConfig& config() const { return m_config; }
    StationRunner* runner() const { return m_runner.get(); }

signals:
    void finished(int exitCode);

private:
    // ---- Outlets: where the readings go besides the archive --------------------------------
    // Built from m_config once the runner exists, each connected to
    // StationRunner::tickFinished (and portStateChanged when it shows the port). The MQTT
    // outlet (service/mqtt, options mapped from m_config.mqtt) and the web outlet
    // (service/http, from listen, token and allow_anonymous) are created here.
    void createOutlets();
    void createWebOutlet();
    // Shutdown and reload: each outlet finishes in turn (MQTT publishes "offline" and drains
    // for up to two seconds; the web server closes), then `done` runs.
    void finishOutlets(std::function<void()> done);
    // One outlet as the service holds it: the object and how it finishes.
    struct Outlet {
        std::unique_ptr<QObject> object;
        std::function<void(std::function<void()> done)> finish;
    };
    std::vector<Outlet> m_outlets;
    // ------------------------------------------------------------------------------------------

    void buildRunner();
    void onStopped();
    void onTick(const archive::Entry& entry);
    void onPort(const QString& device, const QString& state);
    void onArchiveNotice(const QString& text);
    void onBeat();
    void writeStatus(bool running);
    QString statusLine() const;

    StationConfig m_config;
    Setup m_setup;
    JournalLog& m_log;
    SystemdNotify& m_notify;
    StatusFile m_statusFile;
    forms::Timer m_statusTimer;
    std::unique_ptr<StationRunner> m_runner;
    std::optional<StationConfig> m_pendingConfig; // a reload waiting for the runner to stop
    QSet<QString> m_failing;                      // failure kinds under way
    QString m_lastPortState;
    qint64 m_startedMs = 0;
    quint64 m_readings = 0; // since start, over reloads
    quint64 m_failedTicks = 0;
    std::optional<archive::Entry> m_lastReading;
    bool m_shuttingDown = false;
    bool m_finished = false;
};

} // namespace service

#pragma once

#include "archive/ArchiveEntry.h"
#include "archive/ArchiveWriter.h"
#include "comm/SerialBackend.h"
#include "forms/Scheduler.h"
#include "forms/Timer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class clsCicloAdquisicion;
class clsServidorTramas;

Q_DECLARE_METATYPE(archive::Entry)

namespace service {

// The station's acquisition without a window: owns the frame server on the station's port,
// the acquisition tick and the archive writer, and runs a tick every interval from start()
// until stop(). Every tick's outcome, a reading or a failure by kind, goes to the archive and
// then out through tickFinished. The port's troubles never stop it: a port that is missing,
// held by another program or lost is reopened at the next tick, as the console does.
//
// stop() lets the exchange under way finish (a station that says nothing is given
// Options::stopGraceMs before the wait is cut short, and such a cut tick leaves no failure),
// writes what the archive still holds, closes the port and then emits stopped().
class StationRunner : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString device;
        QString archivePath; // a file or a postgresql:// URL; empty: no archive
        int intervalMs = 1000;
        int stopGraceMs = 1000;
        QString station; // the station a URL names when it names none
    };
    // What tests and benchmarks put in place of the real parts.
    struct Parts {
        std::unique_ptr<comm::SerialBackend> backend; // a real serial port when null
        std::unique_ptr<archive::BatchSink> sink;     // the SQLite archive at archivePath
        std::function<qint64()> wallClockMs;          // the system clock (UTC ms)
        archive::ArchiveWriter::Options archive;
    };

    StationRunner(Options options, forms::Scheduler& scheduler, Parts parts,
                  QObject* parent = nullptr);
    explicit StationRunner(Options options, QObject* parent = nullptr);
    ~StationRunner() override;

    // Opens the port and the archive (their state is told at once) and starts ticking.
    void start();
    // See the class comment. Safe to call more than once, also before start().
    void stop();
    bool isStopping() const { return m_stopping; }
    bool isStopped() const { return m_stopped; }
    bool isTickRunning() const { return m_tickRunning; }

    const Options& options() const { return m_options; }
    QString device() const { return m_options.device; }
    // "open", "lost", "cannot_open", "busy" or "closed".
    QString portState() const { return m_portState; }
    // Why the port is not open (empty while it is).
    QString portReason() const;
    // "writing", "retrying", "stopped" (a foreign or newer file) or "off" (no archive).
    QString archiveState() const;
    const archive::ArchiveWriter* archiveWriter() const { return m_archive.get(); }

    quint64 readings() const { return m_readings; }
    quint64 failedTicks() const { return m_failedTicks; }
    std::optional<archive::Entry> lastReading() const { return m_lastReading; }

signals:
    // Every tick's outcome, right after it was handed to the archive writer.
    void tickFinished(const archive::Entry& entry);
    // The port's state changed.
    void portStateChanged(const QString& device, const QString& state);
    // A trouble of the archive, or an empty text once it is over.
    void archiveNotice(const QString& text);
    // The tick loop went round (also after a tick that reached nothing): proof of life.
    void beat();
    // stop() is complete: archive written, port closed.
    void stopped();

private:
    void onTimer();
    void onTick(const archive::Entry& entry);
    void followPort();
    void cutWait();
    void finishStop();

    Options m_options;
    forms::Scheduler& m_scheduler;
    Parts m_parts;
    forms::Timer m_timer;
    std::unique_ptr<clsServidorTramas> m_server;
    std::unique_ptr<clsCicloAdquisicion> m_cycle;
    std::unique_ptr<archive::ArchiveWriter> m_archive;
    forms::Scheduler::Id m_graceId = 0;
    QString m_portState = QStringLiteral("closed");
    bool m_started = false;
    bool m_tickRunning = false;
    bool m_waitCut = false;
    bool m_stopping = false;
    bool m_stopped = false;
    quint64 m_readings = 0;
    quint64 m_failedTicks = 0;
    std::optional<archive::Entry> m_lastReading;
};

} // namespace service

#include "StationRunner.h"

#include "adquisicion/modAdquisicion.h"
#include "archive/ThreadedSink.h"
#include "link/clsCicloAdquisicion.h"
#include "link/clsServidorTramas.h"

#include <QDateTime>

namespace service {

namespace {

QString stateName(const clsServidorTramas& server) {
    using Estado = clsServidorTramas::enEstadoPuerto;
    switch (server.enfntEstadoPuerto()) {
    case Estado::Abierto:
        return QStringLiteral("open");
    case Estado::Perdido:
        return QStringLiteral("lost");
    case Estado::NoSePuedeAbrir:
        return server.puerto().lastOpenError() == comm::CommError::DeviceBusy
                   ? QStringLiteral("busy")
                   : QStringLiteral("cannot_open");
    case Estado::Cerrado:
        break;
    }
    return QStringLiteral("closed");
}

void registerTypes() {
    static const bool once = [] {
        qRegisterMetaType<archive::Entry>("archive::Entry");
        return true;
    }();
    Q_UNUSED(once);
}

} // namespace

StationRunner::StationRunner(Options options, forms::Scheduler& scheduler, Parts parts,
                             QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_scheduler(scheduler)
    , m_parts(std::move(parts))
    , m_timer(scheduler) {
    registerTypes();
    if (!m_parts.wallClockMs) {
        m_parts.wallClockMs = [] { return QDateTime::currentMSecsSinceEpoch(); };
    }
    m_timer.setCallback([this] { onTimer(); });
}

StationRunner::StationRunner(Options options, QObject* parent)
    : StationRunner(std::move(options), forms::Scheduler::instance(), Parts{}, parent) {}

StationRunner::~StationRunner() {
    m_timer.setEnabled(false);
    if (m_graceId != 0) {
        m_scheduler.cancel(m_graceId);
    }
    // The archive's last entries are written before the rest goes.
    if (m_archive) {
        [[maybe_unused]] const com::HRESULT hr = m_archive->close();
    }
    m_cycle.reset();
    if (m_server) {
        m_server->setCambioPuerto(nullptr);
    }
}

void StationRunner::start() {
    if (m_started || m_stopping) {
        return;
    }
    m_started = true;
    if (!m_options.archivePath.isEmpty() || m_parts.sink) {
        std::unique_ptr<archive::BatchSink> sink = std::move(m_parts.sink);
        if (!sink) {
            archive::ArchiveLocation where = archive::ArchiveLocation::parse(m_options.archivePath);
            if (where.server && where.station.isEmpty()) {
                where.station = m_options.station;
            }
            sink = std::make_unique<archive::ThreadedSink>(where);
        }
        m_archive =
            std::make_unique<archive::ArchiveWriter>(std::move(sink), m_scheduler, m_parts.archive);
        m_archive->setNotice([this](const QString& text) { emit archiveNotice(text); });
        m_archive->start();
    }
    m_server = std::make_unique<clsServidorTramas>(std::move(m_parts.backend), m_scheduler,
                                                   m_options.device);
    m_cycle = std::make_unique<clsCicloAdquisicion>(*m_server);
    m_cycle->setTickTerminado([this](const clsCicloAdquisicion::stTick& tick) {
        if (tick.enResultado != clsCicloAdquisicion::enResultadoTick::Completo && m_waitCut) {
            // The stop ended the wait, not the station: there is no failure to keep.
            return;
        }
        onTick(modAdquisicion::entfntEntradaArchivo(tick, m_parts.wallClockMs()));
    });
    m_server->setCambioPuerto([this] { followPort(); });
    m_timer.setInterval(m_options.intervalMs);
    m_timer.setEnabled(true);
}

QString StationRunner::portReason() const {
    return m_server ? m_server->strfntMotivoPuerto() : QString();
}

QString StationRunner::archiveState() const {
    if (!m_archive) {
        return QStringLiteral("off");
    }
    switch (m_archive->state()) {
    case archive::ArchiveWriter::State::Writing:
        return QStringLiteral("writing");
    case archive::ArchiveWriter::State::Retrying:
        return QStringLiteral("retrying");
    case archive::ArchiveWriter::State::Off:
        break;
    }
    return QStringLiteral("stopped");
}

void StationRunner::onTimer() {
    if (m_tickRunning || m_stopping || !m_cycle) {
        return;
    }
    const qint64 startMs = m_scheduler.nowMs();
    m_tickRunning = true;
    m_timer.setEnabled(false);
    m_cycle->subTick();
    m_tickRunning = false;
    emit beat();
    if (m_stopping) {
        finishStop();
        return;
    }
    m_timer.setInterval(modAdquisicion::ifntEsperaSiguienteTick(startMs, m_scheduler.nowMs(),
                                                                m_options.intervalMs));
    m_timer.setEnabled(true);
}

void StationRunner::onTick(const archive::Entry& entry) {
    if (entry.isReading()) {
        ++m_readings;
        m_lastReading = entry;
    } else {
        ++m_failedTicks;
    }
    if (m_archive) {
        m_archive->add(entry);
    }
    emit tickFinished(entry);
}

void StationRunner::followPort() {
    const QString state = stateName(*m_server);
    if (state == m_portState) {
        return;
    }
    m_portState = state;
    emit portStateChanged(m_options.device, state);
}

void StationRunner::stop() {
    if (m_stopping || m_stopped) {
        return;
    }
    m_stopping = true;
    m_timer.setEnabled(false);
    if (!m_tickRunning) {
        // Not from inside the caller: whoever asked is told through stopped() afterwards.
        m_scheduler.post([this] { finishStop(); });
        return;
    }
    m_cycle->subDetiene();
    m_graceId = m_scheduler.post([this] { cutWait(); }, m_options.stopGraceMs);
}

void StationRunner::cutWait() {
    m_graceId = 0;
    if (m_tickRunning && m_server && m_server->bfntEsperandoRespuesta()) {
        m_waitCut = true;
        m_server->tmrTiempoEspera_Timer();
    }
}

void StationRunner::finishStop() {
    if (m_stopped) {
        return;
    }
    if (m_graceId != 0) {
        m_scheduler.cancel(m_graceId);
        m_graceId = 0;
    }
    if (m_archive) {
        [[maybe_unused]] const com::HRESULT hr = m_archive->close(); // troubles were told already
    }
    if (m_server) {
        m_server->subCierraPuerto();
    }
    m_stopped = true;
    emit stopped();
}

} // namespace service

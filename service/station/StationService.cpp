#include "StationService.h"

#include "MqttOutlet.h"
#include "http/WebServer.h"

#include <QCoreApplication>
#include <QDateTime>

#include <unistd.h>

namespace service {

namespace {

QString readingText(const archive::Entry& e) {
    return QStringLiteral("%1 %, %2 kPa at %3")
        .arg(e.humidityPct, 0, 'f', 1)
        .arg(e.pressureKpa, 0, 'f', 2)
        .arg(QDateTime::fromMSecsSinceEpoch(e.timeMs, Qt::UTC)
                 .toString(QStringLiteral("HH:mm:ss 'UTC'")));
}

} // namespace

StationService::StationService(StationConfig config, Setup setup, JournalLog& log,
                               SystemdNotify& notify, QObject* parent)
    : QObject(parent)
    , m_config(std::move(config))
    , m_setup(std::move(setup))
    , m_log(log)
    , m_notify(notify)
    , m_statusFile(m_setup.statusPath) {
    m_statusTimer.setInterval(m_setup.statusPeriodMs);
    m_statusTimer.setCallback([this] { writeStatus(true); });
}

StationService::~StationService() {
    m_statusTimer.setEnabled(false);
    m_outlets.clear();
    m_runner.reset();
}

void StationService::start() {
    m_startedMs = QDateTime::currentMSecsSinceEpoch();
    m_log.info(QStringLiteral("brisora-station %1 starting (pid %2): %3")
                   .arg(QCoreApplication::applicationVersion())
                   .arg(::getpid())
                   .arg(m_config.describe().replace(u'\n', QStringLiteral("; "))));
    buildRunner();
    m_statusTimer.setEnabled(true);
    writeStatus(true);
    m_notify.ready();
    m_notify.watchdog();
}

void StationService::buildRunner() {
    StationRunner::Options options;
    options.device = m_config.port;
    options.archivePath = m_config.archiveEnabled() ? m_config.archive : QString();
    options.station = m_config.station;
    options.intervalMs = m_config.intervalMs;
    m_runner = std::make_unique<StationRunner>(options);
    connect(m_runner.get(), &StationRunner::tickFinished, this, &StationService::onTick);
    connect(m_runner.get(), &StationRunner::portStateChanged, this, &StationService::onPort);
    connect(m_runner.get(), &StationRunner::archiveNotice, this, &StationService::onArchiveNotice);
    connect(m_runner.get(), &StationRunner::beat, this, &StationService::onBeat);
    connect(m_runner.get(), &StationRunner::stopped, this, &StationService::onStopped,
            Qt::QueuedConnection);
    createOutlets();
    m_runner->start();
    if (!m_config.archiveEnabled()) {
        m_log.info(QStringLiteral("archive off"));
    } else if (m_runner->archiveState() == u"writing") {
        m_log.info(QStringLiteral("archive %1").arg(m_config.archive));
    }
}

void StationService::createOutlets() {
    // The MQTT and web outlets join here, built from m_config and connected to
    // m_runner's tickFinished; each is pushed to m_outlets with its finish step.
    if (m_config.mqttEnabled()) {
        auto outlet = std::make_unique<MqttOutlet>(m_config, m_log);
        QString error;
        if (com::failed(outlet->start(&error))) {
            // Acquisition and the archive go on without it.
            m_log.error(QStringLiteral("MQTT off: %1").arg(error));
        } else {
            connect(m_runner.get(), &StationRunner::tickFinished, outlet.get(),
                    &MqttOutlet::publish);
            MqttOutlet* mqtt = outlet.get();
            m_outlets.push_back({std::move(outlet), [mqtt](std::function<void()> done) {
                                     mqtt->finish();
                                     done();
                                 }});
        }
    }
    createWebOutlet();
}

// The web server (service/http) on `listen`, with the token, the station's name and the
// archive it reads the history from. The configuration has already refused a non-loopback
// address without a token; the server refuses it again on its own. It closes at once on
// shutdown and reload, so a reload's new server gets the port back.
void StationService::createWebOutlet() {
    if (!m_config.webEnabled()) {
        return;
    }
    http::WebOptions options;
    bool enabled = true;
    const QString problem = http::WebOptions::parseListen(m_config.listen, options, enabled);
    options.token = m_config.token;
    options.allowAnonymous = m_config.allowAnonymous;
    options.station = m_config.station;
    // The page's history reads the archive the runner writes, a file or a database server.
    options.archivePath = m_config.archiveEnabled() ? m_config.archive : QString();
    auto web = std::make_unique<http::WebServer>(options);
    if (!problem.isEmpty() || !web->start()) {
        m_log.error(QStringLiteral("web server not started: %1")
                        .arg(problem.isEmpty() ? web->errorString() : problem));
        return;
    }
    m_log.info(QStringLiteral("web page at http://%1/").arg(m_config.listen));
    web->setPortState(m_runner->device(), m_runner->portState());
    connect(m_runner.get(), &StationRunner::tickFinished, web.get(), &http::WebServer::addTick);
    connect(m_runner.get(), &StationRunner::portStateChanged, web.get(),
            &http::WebServer::setPortState);
    http::WebServer* server = web.get();
    m_outlets.push_back({std::move(web), [server](std::function<void()> done) {
                             server->stop();
                             done();
                         }});
}

void StationService::finishOutlets(std::function<void()> done) {
    // One after the other, newest first; the last one's end runs `done`.
    if (m_outlets.empty()) {
        done();
        return;
    }
    Outlet outlet = std::move(m_outlets.back());
    m_outlets.pop_back();
    auto next = [this, done = std::move(done)]() mutable { finishOutlets(std::move(done)); };
    if (!outlet.finish) {
        next();
        return;
    }
    QObject* object = outlet.object.release();
    outlet.finish([object, next = std::move(next)]() mutable {
        object->deleteLater();
        next();
    });
}

void StationService::reload() {
    if (m_shuttingDown) {
        return;
    }
    ConfigError error;
    const auto fresh = StationConfig::load(m_setup.configFile, m_setup.overrides, &error);
    if (!fresh) {
        m_log.error(QStringLiteral("configuration not reloaded, the running settings stay: %1")
                        .arg(error.text()));
        return;
    }
    if (*fresh == m_config && !m_pendingConfig) {
        m_log.info(QStringLiteral("configuration reloaded: nothing changed"));
        return;
    }
    m_log.info(QStringLiteral("configuration reloaded, restarting acquisition: %1")
                   .arg(fresh->describe().replace(u'\n', QStringLiteral("; "))));
    m_notify.reloading();
    const bool alreadyStopping = m_pendingConfig.has_value();
    m_pendingConfig = fresh;
    if (!alreadyStopping) {
        m_runner->stop();
    }
}

void StationService::shutdown() {
    if (m_shuttingDown) {
        return;
    }
    m_shuttingDown = true;
    m_notify.stopping();
    m_log.info(QStringLiteral("stopping"));
    if (m_runner) {
        m_runner->stop();
    } else {
        onStopped();
    }
}

void StationService::onStopped() {
    finishOutlets([this] {
        if (m_shuttingDown) {
            if (m_finished) {
                return;
            }
            m_finished = true;
            m_statusTimer.setEnabled(false);
            writeStatus(false);
            m_log.info(QStringLiteral("stopped: %1 readings, %2 failed ticks since start")
                           .arg(m_readings)
                           .arg(m_failedTicks));
            emit finished(0);
            return;
        }
        if (m_pendingConfig) {
            m_runner.reset();
            m_config = *m_pendingConfig;
            m_pendingConfig.reset();
            m_lastPortState.clear();
            buildRunner();
            writeStatus(true);
            m_notify.ready();
        }
    });
}

void StationService::onTick(const archive::Entry& entry) {
    if (entry.isReading()) {
        ++m_readings;
        m_lastReading = entry;
        for (const QString& kind : std::as_const(m_failing)) {
            m_log.ended(kind);
        }
        if (m_failing.contains(archive::failureKindName(archive::EntryKind::Timeout))) {
            m_log.info(QStringLiteral("the station answers again"));
        }
        m_failing.clear();
        m_notify.status(statusLine());
        return;
    }
    ++m_failedTicks;
    const QString kind = archive::failureKindName(entry.kind);
    m_failing.insert(kind);
    if (entry.kind == archive::EntryKind::Timeout) {
        m_log.repeated(kind, JournalLog::Priority::Warning,
                       QStringLiteral("the station did not answer in time"),
                       QStringLiteral("time-outs"));
    } else {
        // The port's own troubles are told by onPort; the failed ticks are only counted.
        m_log.repeated(kind, JournalLog::Priority::Warning,
                       QStringLiteral("ticks fail: %1").arg(kind),
                       QStringLiteral("failed ticks (%1)").arg(kind));
    }
    m_notify.status(statusLine());
}

void StationService::onPort(const QString& device, const QString& state) {
    const QString before = m_lastPortState;
    m_lastPortState = state;
    const QString reason = m_runner ? m_runner->portReason() : QString();
    if (state == u"open") {
        const bool again = !before.isEmpty() && before != u"closed";
        m_log.info(QStringLiteral("port %1 %2")
                       .arg(device, again ? QStringLiteral("reopened") : QStringLiteral("opened")));
    } else if (state == u"lost") {
        m_log.warning(
            QStringLiteral("port %1 lost (%2); reopening at the next tick").arg(device, reason));
    } else if (state == u"busy") {
        m_log.warning(QStringLiteral("port %1: %2; retrying at every tick").arg(device, reason));
    } else if (state == u"cannot_open") {
        m_log.warning(
            QStringLiteral("cannot open port %1 (%2); retrying at every tick").arg(device, reason));
    } else {
        m_log.info(QStringLiteral("port %1 closed").arg(device));
    }
    if (!m_finished) {
        writeStatus(!m_shuttingDown);
    }
    m_notify.status(statusLine());
}

void StationService::onArchiveNotice(const QString& text) {
    if (text.isEmpty()) {
        m_log.info(QStringLiteral("archive %1 written again").arg(m_config.archive));
    } else {
        m_log.error(QStringLiteral("archive %1: %2").arg(m_config.archive, text));
    }
}

void StationService::onBeat() {
    m_log.poll();
    m_notify.watchdog();
}

QString StationService::statusLine() const {
    const QString port = QStringLiteral("port %1").arg(m_lastPortState);
    const QString reading = m_lastReading
                                ? QStringLiteral("last reading %1").arg(readingText(*m_lastReading))
                                : QStringLiteral("no reading yet");
    return QStringLiteral("%1; %2; %3 readings, %4 failed ticks")
        .arg(port, reading)
        .arg(m_readings)
        .arg(m_failedTicks);
}

void StationService::writeStatus(bool running) {
    StationStatus s;
    s.pid = ::getpid();
    s.running = running;
    s.station = m_config.station;
    s.device = m_config.port;
    s.portState = m_lastPortState;
    s.archiveState = m_runner ? m_runner->archiveState() : QStringLiteral("off");
    s.archivePath = m_config.archive;
    s.startedMs = m_startedMs;
    s.updatedMs = QDateTime::currentMSecsSinceEpoch();
    s.readings = m_readings;
    s.failedTicks = m_failedTicks;
    if (m_lastReading) {
        s.hasReading = true;
        s.lastReadingMs = m_lastReading->timeMs;
        s.humidityPct = m_lastReading->humidityPct;
        s.pressureKpa = m_lastReading->pressureKpa;
    }
    if (!m_statusFile.write(s)) {
        m_log.repeated(QStringLiteral("status-file"), JournalLog::Priority::Warning,
                       QStringLiteral("cannot write the status file %1").arg(m_statusFile.path()),
                       QStringLiteral("failed status writes"));
    } else {
        m_log.ended(QStringLiteral("status-file"));
    }
}

} // namespace service

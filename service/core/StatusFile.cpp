#include "StatusFile.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cerrno>
#include <limits>
#include <signal.h>

namespace service {

namespace {

constexpr qint64 kMaxStatusBytes = 16 * 1024;

QString utc(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"));
}

} // namespace

QString StatusFile::defaultPath() {
    // systemd may list several folders; ours is the first.
    const QString state = qEnvironmentVariable("STATE_DIRECTORY").section(u':', 0, 0);
    const QString folder = state.isEmpty() ? QStringLiteral("/var/lib/brisora") : state;
    return folder + u'/' + QLatin1StringView(kFileName);
}

bool StatusFile::write(const StationStatus& s) const {
    QJsonObject o;
    o[u"pid"] = s.pid;
    o[u"running"] = s.running;
    o[u"station"] = s.station;
    o[u"device"] = s.device;
    o[u"port_state"] = s.portState;
    o[u"archive_state"] = s.archiveState;
    o[u"archive"] = s.archivePath;
    o[u"started_ms"] = s.startedMs;
    o[u"updated_ms"] = s.updatedMs;
    o[u"readings"] = static_cast<qint64>(s.readings);
    o[u"failed_ticks"] = static_cast<qint64>(s.failedTicks);
    if (s.hasReading) {
        o[u"last_reading_ms"] = s.lastReadingMs;
        o[u"humidity_pct"] = s.humidityPct;
        o[u"pressure_kpa"] = s.pressureKpa;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(QJsonDocument(o).toJson(QJsonDocument::Indented));
    return file.commit();
}

std::optional<StationStatus> StatusFile::read(QString* error) const {
    const auto fail = [error](const QString& why) -> std::optional<StationStatus> {
        if (error) {
            *error = why;
        }
        return std::nullopt;
    };
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString()));
    }
    if (file.size() > kMaxStatusBytes) {
        return fail(QStringLiteral("%1 is too large for a status file").arg(m_path));
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(kMaxStatusBytes));
    const QJsonObject o = doc.object();
    if (!doc.isObject() || !o.value(u"pid").isDouble()) {
        return fail(QStringLiteral("%1 is not a status file").arg(m_path));
    }
    StationStatus s;
    s.pid = o.value(u"pid").toInteger();
    s.running = o.value(u"running").toBool();
    s.station = o.value(u"station").toString();
    s.device = o.value(u"device").toString();
    s.portState = o.value(u"port_state").toString();
    s.archiveState = o.value(u"archive_state").toString();
    s.archivePath = o.value(u"archive").toString();
    s.startedMs = o.value(u"started_ms").toInteger();
    s.updatedMs = o.value(u"updated_ms").toInteger();
    s.readings = static_cast<quint64>(qMax<qint64>(0, o.value(u"readings").toInteger()));
    s.failedTicks = static_cast<quint64>(qMax<qint64>(0, o.value(u"failed_ticks").toInteger()));
    s.hasReading = o.contains(u"last_reading_ms");
    s.lastReadingMs = o.value(u"last_reading_ms").toInteger();
    s.humidityPct = o.value(u"humidity_pct").toDouble();
    s.pressureKpa = o.value(u"pressure_kpa").toDouble();
    return s;
}

QString StatusFile::describe(const StationStatus& s, bool alive) {
    QString out;
    const bool running = s.running && alive;
    out += QStringLiteral("state: %1\n")
               .arg(running ? QStringLiteral("running")
                            : QStringLiteral("not running (last seen %1)").arg(utc(s.updatedMs)));
    out += QStringLiteral("pid: %1\n").arg(s.pid);
    out += QStringLiteral("station: %1\n").arg(s.station);
    out += QStringLiteral("port: %1 %2\n").arg(s.device, s.portState);
    if (s.hasReading) {
        out += QStringLiteral("last reading: %1 %, %2 kPa at %3\n")
                   .arg(s.humidityPct, 0, 'f', 1)
                   .arg(s.pressureKpa, 0, 'f', 2)
                   .arg(utc(s.lastReadingMs));
    } else {
        out += QStringLiteral("last reading: none\n");
    }
    out += QStringLiteral("since start (%1): %2 readings, %3 failed ticks\n")
               .arg(utc(s.startedMs))
               .arg(s.readings)
               .arg(s.failedTicks);
    out += QStringLiteral("archive: %1 %2\n").arg(s.archivePath, s.archiveState);
    out += QStringLiteral("updated: %1\n").arg(utc(s.updatedMs));
    return out;
}

bool StatusFile::processAlive(qint64 pid) {
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) {
        return false;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace service

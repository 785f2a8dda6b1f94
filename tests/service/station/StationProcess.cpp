#include "StationProcess.h"

#include "ChildSignal.h"
#include "ProgramRun.h"
#include "TestFiles.h"

#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

#include <csignal>

StationProcess::StationProcess() {
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

StationProcess::~StationProcess() {
    kill();
}

void StationProcess::configure(const QString& port, const QByteArray& extra, bool web) {
    QFile file(configPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return;
    }
    file.write("port = " + port.toUtf8() + "\narchive = " + archivePath().toUtf8() +
               (web ? "\n" : "\nlisten = off\n") + extra);
}

void StationProcess::setVariable(const QString& name, const QString& value) {
    m_extra.insert(name, value);
}

QProcessEnvironment StationProcess::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A service has no desk: nothing names a display.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("STATE_DIRECTORY"), m_dir.path());
    env.insert(m_extra);
    return env;
}

bool StationProcess::start(const QStringList& extraArguments) {
    m_process.setProcessEnvironment(environment());
    m_process.start(testsupport::built(QStringLiteral("brisora-station")),
                    QStringList{QStringLiteral("--config"), configPath()} + extraArguments);
    return m_process.waitForStarted(10000);
}

QString StationProcess::log() {
    m_log += QString::fromUtf8(m_process.readAllStandardError());
    return m_log;
}

bool StationProcess::waitForLog(const QString& text, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!log().contains(text)) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) {
            return log().contains(text);
        }
        m_process.waitForReadyRead(100);
    }
    return true;
}

int StationProcess::countInLog(const QString& text) {
    int count = 0;
    for (const QString& line : log().split(u'\n')) {
        count += line.contains(text) ? 1 : 0;
    }
    return count;
}

int StationProcess::signalAndWait(int signalNumber, int timeoutMs) {
    if (!testsupport::signalChild(m_process, signalNumber) ||
        !m_process.waitForFinished(timeoutMs) || m_process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    log();
    return m_process.exitCode();
}

void StationProcess::kill() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

StationProcess::Result StationProcess::runOnce(const QStringList& arguments) const {
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(testsupport::built(QStringLiteral("brisora-station")), arguments);
    return testsupport::finishRun(p, 30000);
}

QList<QPair<int, int>> StationProcess::archivedReadings() const {
    QList<QPair<int, int>> out;
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(archivePath());
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral(
                "SELECT raw_humidity, raw_pressure FROM readings ORDER BY time_ms, seq"));
            while (q.next()) {
                out.append({q.value(0).toInt(), q.value(1).toInt()});
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

qint64 StationProcess::archivedFailures() const {
    qint64 count = -1;
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(archivePath());
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT count(*) FROM failures"));
            count = q.next() ? q.value(0).toLongLong() : -1;
        }
    }
    QSqlDatabase::removeDatabase(name);
    return count;
}

#pragma once

#include "ProgramRun.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One brisora-station run for the tests: its own folder (configuration, archive, status
// file), an environment without any display, and its log read as it comes.
class StationProcess {
public:
    StationProcess();
    ~StationProcess();

    StationProcess(const StationProcess&) = delete;
    StationProcess& operator=(const StationProcess&) = delete;

    // Writes the configuration file: the port, an archive in the folder, no web server
    // unless `web`, and `extra` lines.
    void configure(const QString& port, const QByteArray& extra = {}, bool web = false);
    QString configPath() const { return m_dir.filePath(QStringLiteral("station.conf")); }
    QString archivePath() const { return m_dir.filePath(QStringLiteral("archive.sqlite")); }
    QString folder() const { return m_dir.path(); }

    // Extra environment (NOTIFY_SOCKET...).
    void setVariable(const QString& name, const QString& value);
    bool start(const QStringList& extraArguments = {});
    qint64 pid() const { return m_process.processId(); }

    // Waits until a log line contains `text` (counting from the start); false on time-out.
    bool waitForLog(const QString& text, int timeoutMs = 20000);
    // How many log lines contain `text`.
    int countInLog(const QString& text);
    QString log();

    // Sends the signal and waits for the exit; the exit code, or -1 after a crash or time-out.
    int signalAndWait(int signalNumber, int timeoutMs = 10000);
    void kill();

    // Runs brisora-station once with this run's environment and `arguments`.
    using Result = testsupport::ProgramRun;
    Result runOnce(const QStringList& arguments) const;

    // The readings and failed ticks in the archive, as raw humidity/pressure pairs.
    QList<QPair<int, int>> archivedReadings() const;
    qint64 archivedFailures() const;

private:
    QProcessEnvironment environment() const;

    QTemporaryDir m_dir;
    QProcess m_process;
    QProcessEnvironment m_extra;
    QString m_log;
};

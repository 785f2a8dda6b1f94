#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace testsupport {

// A PostgreSQL 15 server of the test's own: a cluster made with initdb in a temporary folder,
// listening on 127.0.0.1 at a free port with its socket in that folder, trusting local
// connections. PostgreSQL refuses to run as root, so under root the folder is handed to the
// unprivileged user `nobody` and the server runs as that user. The server is stopped when
// the object goes (also when a check failed), and dies with the test if the test crashes.
class PostgresServer {
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Makes the cluster and starts the server; false (with error()) when it cannot.
    bool start();
    // Stops the server, keeping its data, as a crash or a restart would.
    void stop();
    bool isRunning() const;

    // Runs one statement as the superuser `postgres` in `database`; false when it fails.
    bool exec(const QString& sql, const QString& database = QStringLiteral("postgres"));
    // A fresh database of the given name (owned by `owner`, postgres when empty).
    bool createDatabase(const QString& name, const QString& owner = {});

    // postgresql://user@127.0.0.1:port/database?station=...
    QString url(const QString& database, const QString& station = {},
                const QString& user = QStringLiteral("postgres")) const;
    int port() const { return m_port; }
    // The server's main process (0 when it is not running), for measuring its CPU.
    qint64 pid() const { return isRunning() ? m_server->processId() : 0; }
    const QString& error() const { return m_error; }
    // The end of the server's log (its last 8 KiB), for a failure's message.
    QString log() const;

    // Where the server binaries are; empty when PostgreSQL 15 is not installed.
    static QString binDir();

private:
    bool runTool(const QString& tool, const QStringList& args);
    void prepareChild(QProcess& process) const;
    bool waitReady();

    QTemporaryDir m_dir;
    QString m_data;
    int m_port = 0;
    bool m_initialised = false;
    std::unique_ptr<QProcess> m_server;
    QString m_error;
    uint m_uid = 0;
    uint m_gid = 0;
};

} // namespace testsupport

// In a test function: skipped where PostgreSQL 15 is not installed; where it is, a server that
// could not be had fails the test with the reason, so a broken set-up never passes as skipped.
#define REQUIRE_POSTGRES(had, why)                                                                 \
    do {                                                                                           \
        if (!(had)) {                                                                              \
            if (testsupport::PostgresServer::binDir().isEmpty())                                   \
                QSKIP("PostgreSQL 15 is not installed (scripts/setup-deps.sh installs it)");       \
            QFAIL(qPrintable(why));                                                                \
        }                                                                                          \
    } while (false)

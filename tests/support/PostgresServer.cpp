#include "PostgresServer.h"

#include "ChildSignal.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>

#include <arpa/inet.h>
#include <csignal>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

const QString kBinDir = QStringLiteral("/usr/lib/postgresql/15/bin");

// A port nobody listens on now (the kernel's pick for a socket bound to port 0).
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

QString nextConnectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("test-postgres-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

PostgresServer::PostgresServer() {
    if (::geteuid() == 0) {
        if (const passwd* nobody = ::getpwnam("nobody")) {
            m_uid = nobody->pw_uid;
            m_gid = nobody->pw_gid;
        }
    }
}

PostgresServer::~PostgresServer() {
    stop();
}

QString PostgresServer::binDir() {
    return QFileInfo::exists(kBinDir + QStringLiteral("/postgres")) ? kBinDir : QString();
}

void PostgresServer::prepareChild(QProcess& process) const {
    const uint uid = m_uid;
    const uint gid = m_gid;
    process.setChildProcessModifier([uid, gid] {
        // In the child, before exec: drop root, then die with the test.
        if (uid != 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) {
            ::_exit(126);
        }
        ::prctl(PR_SET_PDEATHSIG, SIGQUIT);
    });
}

bool PostgresServer::runTool(const QString& tool, const QStringList& args) {
    QProcess p;
    prepareChild(p);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(kBinDir + QLatin1Char('/') + tool, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        m_error = tool + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAll());
        return false;
    }
    return true;
}

bool PostgresServer::start() {
    if (binDir().isEmpty()) {
        m_error = QStringLiteral("PostgreSQL 15 is not installed (scripts/setup-deps.sh)");
        return false;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    if (m_uid != 0 && ::chown(QFile::encodeName(m_dir.path()).constData(), m_uid, m_gid) != 0) {
        m_error = QStringLiteral("cannot hand the folder to nobody");
        return false;
    }
    m_data = m_dir.filePath(QStringLiteral("data"));
    if (!m_initialised) {
        m_initialised = runTool(
            QStringLiteral("initdb"),
            {QStringLiteral("-D"), m_data, QStringLiteral("-U"), QStringLiteral("postgres"),
             QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
             QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")});
        if (!m_initialised) {
            return false;
        }
    }
    if (m_port == 0) {
        m_port = freePort();
    }
    m_server = std::make_unique<QProcess>();
    prepareChild(*m_server);
    // The server's log goes to a file: a pipe nobody reads while a long statement runs would
    // fill and stall the server on its next line.
    m_server->setProcessChannelMode(QProcess::MergedChannels);
    m_server->setStandardOutputFile(m_dir.filePath(QStringLiteral("server.log")),
                                    QIODevice::Append);
    m_server->start(kBinDir + QStringLiteral("/postgres"),
                    {QStringLiteral("-D"), m_data, QStringLiteral("-p"), QString::number(m_port),
                     QStringLiteral("-k"), m_dir.path(), QStringLiteral("-c"),
                     QStringLiteral("listen_addresses=127.0.0.1"), QStringLiteral("-c"),
                     QStringLiteral("fsync=off"), QStringLiteral("-c"),
                     QStringLiteral("max_connections=200"), QStringLiteral("-c"),
                     QStringLiteral("shared_buffers=32MB")});
    // Until the start is seen (here or by an event loop) the process is only "starting", and
    // isRunning() would say no to a caller that runs no event loop (a benchmark).
    if (!m_server->waitForStarted(30000)) {
        m_error = QStringLiteral("postgres: ") + m_server->errorString();
        return false;
    }
    return waitReady();
}

bool PostgresServer::waitReady() {
    for (int i = 0; i < 300; ++i) {
        if (m_server->state() == QProcess::NotRunning) {
            m_error = QStringLiteral("postgres: ") + log();
            return false;
        }
        QProcess ready;
        ready.start(kBinDir + QStringLiteral("/pg_isready"),
                    {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QString::number(m_port), QStringLiteral("-q")});
        if (ready.waitForFinished(5000) && ready.exitCode() == 0) {
            return true;
        }
        QThread::msleep(100);
    }
    m_error = QStringLiteral("postgres did not get ready");
    return false;
}

void PostgresServer::stop() {
    if (!m_server) {
        return;
    }
    if (m_server->state() != QProcess::NotRunning) {
        // Fast shutdown: sessions are cut, as a restarted server cuts them.
        if (!testsupport::signalChild(*m_server, SIGINT) || !m_server->waitForFinished(30000)) {
            m_server->kill();
            m_server->waitForFinished();
        }
    }
    m_server.reset();
}

QString PostgresServer::log() const {
    QFile file(m_dir.filePath(QStringLiteral("server.log")));
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    if (file.size() > 8192) {
        file.seek(file.size() - 8192);
    }
    return QString::fromLocal8Bit(file.readAll()).trimmed();
}

bool PostgresServer::isRunning() const {
    return m_server && m_server->state() == QProcess::Running;
}

bool PostgresServer::exec(const QString& sql, const QString& database) {
    const QString name = nextConnectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(m_port);
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(database);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            m_error = q.lastError().text();
        } else {
            m_error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool PostgresServer::createDatabase(const QString& name, const QString& owner) {
    exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
    return exec(owner.isEmpty() ? QStringLiteral("CREATE DATABASE %1").arg(name)
                                : QStringLiteral("CREATE DATABASE %1 OWNER %2").arg(name, owner));
}

QString PostgresServer::url(const QString& database, const QString& station,
                            const QString& user) const {
    QString text =
        QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(user).arg(m_port).arg(database);
    if (!station.isEmpty()) {
        text += QStringLiteral("?station=") + QString::fromLatin1(QUrl::toPercentEncoding(station));
    }
    return text;
}

} // namespace testsupport

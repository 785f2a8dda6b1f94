#include "MosquittoBroker.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr int kStartAttempts = 3;
constexpr int kReadyMs = 10000;

sockaddr_in loopback(quint16 port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

bool accepts(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const sockaddr_in addr = loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

QString findTool(const QString& name) {
    const QStringList sbin{QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                           QStringLiteral("/sbin")};
    QString path = QStandardPaths::findExecutable(name);
    return path.isEmpty() ? QStandardPaths::findExecutable(name, sbin) : path;
}

} // namespace

quint16 freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in addr = loopback(0);
    socklen_t len = sizeof addr;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
        port = ntohs(addr.sin_port);
    }
    ::close(fd);
    return port;
}

MosquittoBroker::MosquittoBroker(const Settings& settings)
    : m_settings(settings) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

MosquittoBroker::MosquittoBroker()
    : MosquittoBroker(Settings{}) {}

MosquittoBroker::~MosquittoBroker() {
    stop();
}

QString MosquittoBroker::program() {
    return findTool(QStringLiteral("mosquitto"));
}

QString MosquittoBroker::url() const {
    const bool tls = !m_settings.certFile.isEmpty();
    return QStringLiteral("%1://127.0.0.1:%2").arg(tls ? "mqtts" : "mqtt").arg(m_port);
}

bool MosquittoBroker::isRunning() const {
    return m_process.state() != QProcess::NotRunning;
}

QByteArray MosquittoBroker::output() {
    m_output += m_process.readAll();
    return m_output;
}

bool MosquittoBroker::writeConfig() {
    const QDir dir(m_dir.path());
    QByteArray conf;
    conf += "listener " + QByteArray::number(m_port) + " 127.0.0.1\n";
    if (!m_settings.certFile.isEmpty()) {
        conf += "certfile " + m_settings.certFile.toUtf8() + "\nkeyfile " +
                m_settings.keyFile.toUtf8() + "\n";
    }
    // Running as root, the broker would otherwise switch to a user that cannot read our folder.
    conf += "user root\n";
    conf += "log_dest stdout\nlog_type error\nlog_type warning\nlog_type notice\n";
    if (m_settings.persistence) {
        conf += "persistence true\npersistence_location " + dir.path().toUtf8() + "/\n";
    }
    if (m_settings.user.isEmpty()) {
        conf += "allow_anonymous true\n";
    } else {
        const QString passwd = dir.filePath(QStringLiteral("passwd"));
        if (!QFile::exists(passwd)) {
            const int rc = QProcess::execute(findTool(QStringLiteral("mosquitto_passwd")),
                                             {QStringLiteral("-c"), QStringLiteral("-b"), passwd,
                                              m_settings.user, m_settings.password});
            if (rc != 0) {
                m_error = QStringLiteral("mosquitto_passwd failed");
                return false;
            }
        }
        conf += "allow_anonymous false\npassword_file " + passwd.toUtf8() + "\n";
    }
    QFile file(dir.filePath(QStringLiteral("mosquitto.conf")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(conf) != conf.size()) {
        m_error = QStringLiteral("cannot write the broker's configuration");
        return false;
    }
    return true;
}

bool MosquittoBroker::waitUntilListening() {
    const QDeadlineTimer deadline(kReadyMs);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("mosquitto exited: ") + QString::fromUtf8(output());
            return false;
        }
        if (accepts(m_port)) {
            return true;
        }
        QThread::msleep(20);
    }
    m_error = QStringLiteral("mosquitto does not listen on port %1").arg(m_port);
    return false;
}

bool MosquittoBroker::start() {
    if (program().isEmpty()) {
        m_error = QStringLiteral("mosquitto is not installed");
        return false;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const bool choosePort = m_port == 0;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (choosePort) {
            m_port = freeLoopbackPort();
        }
        if (m_port == 0 || !writeConfig()) {
            continue;
        }
        m_process.start(program(), {QStringLiteral("-c"),
                                    QDir(m_dir.path()).filePath(QStringLiteral("mosquitto.conf"))});
        if (m_process.waitForStarted() && waitUntilListening()) {
            return true;
        }
        stop();
        if (!choosePort) {
            break;
        }
    }
    return false;
}

void MosquittoBroker::stop() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
    output();
}

} // namespace testsupport

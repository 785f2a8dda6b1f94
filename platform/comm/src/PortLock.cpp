#include "PortLock.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace comm {

namespace {

constexpr qint64 kMaxLockText = 256;

QString lockDirectory() {
    const QString fromEnvironment = qEnvironmentVariable(PortLock::kDirectoryVariable);
    return fromEnvironment.isEmpty() ? QStringLiteral("/run/lock") : fromEnvironment;
}

// "<program>\n<pid>\n" as the holder wrote it, or an empty text.
QString readHolder(int fd) {
    char buffer[kMaxLockText + 1] = {};
    const ssize_t n = ::pread(fd, buffer, kMaxLockText, 0);
    if (n <= 0) {
        return {};
    }
    const QStringList lines =
        QString::fromUtf8(buffer, static_cast<qsizetype>(n)).split(u'\n', Qt::SkipEmptyParts);
    bool ok = false;
    const qint64 pid = lines.size() >= 2 ? lines[1].trimmed().toLongLong(&ok) : 0;
    if (!ok || pid <= 0) {
        return {};
    }
    return QStringLiteral("%1 (pid %2)").arg(lines[0].trimmed().left(64)).arg(pid);
}

void writeHolder(int fd) {
    const QByteArray text =
        (PortLock::ownName() + u'\n' + QString::number(::getpid()) + u'\n').toUtf8();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, text.constData(), text.size(), 0) < 0) {
        // The lock holds all the same; a refused program just cannot name us.
        return;
    }
}

} // namespace

PortLock::~PortLock() {
    unlock();
}

QString PortLock::lockFilePath(const QString& device) {
    const QFileInfo info(device);
    QString real = info.canonicalFilePath();
    if (real.isEmpty()) {
        real = info.absoluteFilePath();
    }
    if (real.startsWith(u"/dev/")) {
        real = real.mid(5);
    }
    real.replace(u'/', u'_');
    return lockDirectory() + QStringLiteral("/LCK..brisora.") + real;
}

QString PortLock::ownName() {
    QString name = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    if (name.isEmpty()) {
        name = QStringLiteral("pid");
    }
    return name.simplified();
}

PortLock::Result PortLock::lock(const QString& device) {
    unlock();
    m_holder.clear();
    const QByteArray path = lockFilePath(device).toLocal8Bit();
    // Everyone who may use the device may take its lock, whoever made the file.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        return Result::Unavailable;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) {
        ::close(fd);
        return Result::Unavailable;
    }
    if (st.st_uid == ::geteuid()) {
        ::fchmod(fd, 0666);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        if (busy) {
            m_holder = readHolder(fd);
            if (m_holder.isEmpty()) {
                m_holder = QStringLiteral("otro programa");
            }
        }
        ::close(fd);
        return busy ? Result::Busy : Result::Unavailable;
    }
    writeHolder(fd);
    m_fd = fd;
    return Result::Locked;
}

void PortLock::unlock() {
    if (m_fd < 0) {
        return;
    }
    // The file stays for the next holder; only its claim goes.
    if (::ftruncate(m_fd, 0) != 0) {
        // Harmless: the next holder rewrites it.
    }
    ::close(m_fd);
    m_fd = -1;
}

} // namespace comm

#include "SimulatorProcess.h"

#include "ChildSignal.h"
#include "TestFiles.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kGenerousMs = 10000;
}

SimulatorProcess::~SimulatorProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(kGenerousMs);
    }
}

bool SimulatorProcess::start(const QStringList& arguments) {
    process_.start(testsupport::built(QStringLiteral("station-sim")), arguments);
    if (!process_.waitForStarted(kGenerousMs)) {
        return false;
    }
    device_ = readLine(kGenerousMs);
    return device_.startsWith(QLatin1Char('/'));
}

QString SimulatorProcess::readLine(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine() && !deadline.hasExpired()) {
        process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    return QString::fromUtf8(process_.readLine()).trimmed();
}

bool SimulatorProcess::command(const QString& line) {
    process_.write((line + QLatin1Char('\n')).toUtf8());
    return readLine(kGenerousMs).startsWith(QLatin1String("ok"));
}

int SimulatorProcess::terminate() {
    if (!testsupport::signalChild(process_, SIGTERM) || !process_.waitForFinished(kGenerousMs) ||
        process_.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process_.exitCode();
}

QString SimulatorProcess::log() {
    log_ += QString::fromUtf8(process_.readAllStandardError());
    return log_;
}

QStringList SimulatorProcess::wireEvents() {
    static const QRegularExpression byteLine(QStringLiteral("^[0-9.]+ ((?:rx|tx) [0-9A-F]{2})$"));
    QStringList events;
    for (const QString& line : log().split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = byteLine.match(line);
        if (m.hasMatch()) {
            events << m.captured(1);
        }
    }
    return events;
}

RawLine::RawLine(const QString& device) {
    fd_ = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (fd_ >= 0 && tcgetattr(fd_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd_, TCSANOW, &tio);
    }
}

RawLine::~RawLine() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool RawLine::write(const QByteArray& bytes) {
    return ::write(fd_, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
}

QByteArray RawLine::read(int count, int timeoutMs) {
    QByteArray got;
    QDeadlineTimer deadline(timeoutMs);
    while (got.size() < count && !deadline.hasExpired()) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(deadline.remainingTime())) <= 0) {
            continue;
        }
        char buffer[64];
        const ssize_t n =
            ::read(fd_, buffer, static_cast<size_t>(qMin<qsizetype>(64, count - got.size())));
        if (n > 0) {
            got.append(buffer, n);
        }
    }
    return got;
}

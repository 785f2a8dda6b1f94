#include "UnixSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace service {

namespace {

int g_pipe[2] = {-1, -1};
std::vector<int> g_installed;

extern "C" void onSignal(int signalNumber) {
    const int saved = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
    errno = saved;
}

} // namespace

UnixSignals::UnixSignals(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent) {
    Q_ASSERT(g_pipe[0] < 0);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        qFatal("cannot create the signal socket pair");
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
    for (const int number : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(number, &action, nullptr);
        g_installed.push_back(number);
    }
}

UnixSignals::~UnixSignals() {
    for (const int number : g_installed) {
        ::signal(number, SIG_DFL);
    }
    g_installed.clear();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void UnixSignals::drain() {
    char bytes[16];
    ssize_t n = 0;
    while ((n = ::read(g_pipe[1], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            emit received(static_cast<unsigned char>(bytes[i]));
        }
    }
}

} // namespace service

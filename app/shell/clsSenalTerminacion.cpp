#include "clsSenalTerminacion.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The socket pair's ends: [0] read by the message loop, [1] written by the handler.
int g_iarrTuberia[2] = {-1, -1};

extern "C" void subManejador(int iSenal) {
    const int iErrno = errno; // the interrupted code may be about to read it
    const char cSenal = static_cast<char>(iSenal);
    [[maybe_unused]] const auto escritos = ::write(g_iarrTuberia[1], &cSenal, 1);
    errno = iErrno;
}

} // namespace

clsSenalTerminacion::clsSenalTerminacion(std::initializer_list<int> iarrSenales,
                                         std::function<void(int)> evTermina, QObject* parent)
    : QObject(parent)
    , m_evTermina(std::move(evTermina)) {
    if (g_iarrTuberia[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_iarrTuberia) != 0) {
        return;
    }
    // A burst of signals never blocks the handler: bytes beyond the buffer are dropped.
    ::fcntl(g_iarrTuberia[1], F_SETFL, ::fcntl(g_iarrTuberia[1], F_GETFL) | O_NONBLOCK);
    ::fcntl(g_iarrTuberia[0], F_SETFL, ::fcntl(g_iarrTuberia[0], F_GETFL) | O_NONBLOCK);
    m_notificador = new QSocketNotifier(g_iarrTuberia[0], QSocketNotifier::Read, this);
    connect(m_notificador, &QSocketNotifier::activated, this, [this] { subLee(); });
    struct sigaction accion {};
    accion.sa_handler = subManejador;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    m_bActiva = true;
    for (const int iSenal : iarrSenales) {
        if (::sigaction(iSenal, &accion, nullptr) == 0) {
            m_iarrSenales << iSenal;
        } else {
            m_bActiva = false;
        }
    }
}

clsSenalTerminacion::~clsSenalTerminacion() {
    for (const int iSenal : m_iarrSenales) {
        std::signal(iSenal, SIG_DFL);
    }
    if (m_notificador == nullptr) {
        return;
    }
    delete m_notificador;
    ::close(g_iarrTuberia[0]);
    ::close(g_iarrTuberia[1]);
    g_iarrTuberia[0] = g_iarrTuberia[1] = -1;
}

void clsSenalTerminacion::subLee() {
    char cSenal = 0;
    while (::read(g_iarrTuberia[0], &cSenal, 1) == 1) {
        if (m_evTermina) {
            m_evTermina(static_cast<unsigned char>(cSenal));
        }
    }
}

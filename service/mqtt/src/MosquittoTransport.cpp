#include "MosquittoTransport.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <poll.h>

namespace mqtt {

namespace {

constexpr int kPacketsPerCall = 64;

// CONNACK codes that mean the broker would not take our credentials (MQTT 3.1.1 and 5).
bool isAuthRefusal(int connackCode) {
    switch (connackCode) {
    case 4:   // bad user name or password
    case 5:   // not authorised
    case 134: // bad user name or password
    case 135: // not authorised
    case 138: // banned
        return true;
    default:
        return false;
    }
}

TransportStatus fromErrno(int savedErrno) {
    const QString text = QString::fromLocal8Bit(std::strerror(savedErrno));
    switch (savedErrno) {
    case ECONNREFUSED:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ETIMEDOUT:
        return {TransportError::Refused, text};
    case ECONNRESET:
    case EPIPE:
        return {TransportError::Lost, text};
    default:
        return {TransportError::Other, text};
    }
}

} // namespace

std::unique_ptr<MqttTransport> makeMosquittoTransport() {
    return std::make_unique<MosquittoTransport>();
}

MosquittoTransport::MosquittoTransport() {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
}

MosquittoTransport::~MosquittoTransport() {
    close(false);
}

TransportStatus MosquittoTransport::statusOf(int rc, int savedErrno) const {
    switch (rc) {
    case MOSQ_ERR_SUCCESS:
        return {};
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_LOOKUP:
        return {TransportError::Resolve, QStringLiteral("the name does not resolve")};
    case MOSQ_ERR_CONN_REFUSED:
        return {isAuthRefusal(m_connackCode) ? TransportError::Auth : TransportError::Other,
                QString::fromUtf8(mosquitto_connack_string(m_connackCode))};
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
    case MOSQ_ERR_OCSP:
        return {TransportError::Tls, m_lastLibraryError.isEmpty()
                                         ? QString::fromUtf8(mosquitto_strerror(rc))
                                         : m_lastLibraryError};
    case MOSQ_ERR_ERRNO:
        return fromErrno(savedErrno);
    case MOSQ_ERR_CONN_LOST:
    case MOSQ_ERR_NO_CONN:
    case MOSQ_ERR_KEEPALIVE:
        return {TransportError::Lost, QString::fromUtf8(mosquitto_strerror(rc))};
    default:
        return {TransportError::Other, QString::fromUtf8(mosquitto_strerror(rc))};
    }
}

TransportStatus MosquittoTransport::configure(const ConnectSettings& s) {
    mosquitto_connect_callback_set(m_mosq, &MosquittoTransport::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &MosquittoTransport::onDisconnect);
    mosquitto_publish_callback_set(m_mosq, &MosquittoTransport::onPublish);
    mosquitto_log_callback_set(m_mosq, &MosquittoTransport::onLog);
    mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);
    int rc = MOSQ_ERR_SUCCESS;
    if (!s.username.isEmpty()) {
        rc = mosquitto_username_pw_set(m_mosq, s.username.toUtf8().constData(),
                                       s.password.isNull() ? nullptr : s.password.constData());
    }
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_will_set(m_mosq, s.will.topic.constData(),
                                static_cast<int>(s.will.payload.size()), s.will.payload.constData(),
                                s.qos, s.will.retain);
    }
    if (rc == MOSQ_ERR_SUCCESS && s.broker.tls) {
        if (s.caFile.isEmpty()) {
            rc = mosquitto_int_option(m_mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        } else {
            rc = mosquitto_tls_set(m_mosq, s.caFile.toLocal8Bit().constData(), nullptr, nullptr,
                                   nullptr, nullptr);
        }
        if (rc != MOSQ_ERR_SUCCESS) {
            return {TransportError::Tls, QString::fromUtf8(mosquitto_strerror(rc))};
        }
    }
    return statusOf(rc, errno);
}

TransportStatus MosquittoTransport::open(const ConnectSettings& settings) {
    close(false);
    m_connackCode = -1;
    m_lastLibraryError.clear();
    m_mosq = mosquitto_new(settings.clientId.toUtf8().constData(), true, this);
    if (!m_mosq) {
        return {TransportError::Other, QStringLiteral("cannot create the MQTT client")};
    }
    if (TransportStatus st = configure(settings); !st.ok()) {
        return st;
    }
    const int rc = mosquitto_connect_async(m_mosq, settings.broker.host.toUtf8().constData(),
                                           settings.broker.port, settings.keepAliveS);
    return statusOf(rc, errno);
}

TransportStatus MosquittoTransport::publish(const OutMessage& message, int qos, int* messageId) {
    if (!m_mosq) {
        return {TransportError::Lost, QStringLiteral("not connected")};
    }
    const int rc = mosquitto_publish(m_mosq, messageId, message.topic.constData(),
                                     static_cast<int>(message.payload.size()),
                                     message.payload.constData(), qos, message.retain);
    return statusOf(rc, errno);
}

TransportStatus MosquittoTransport::service(int timeoutMs, int wakeFd) {
    pollfd fds[2] = {};
    nfds_t count = 0;
    const int sock = m_mosq ? mosquitto_socket(m_mosq) : -1;
    if (sock >= 0) {
        fds[count++] = {
            sock, static_cast<short>(POLLIN | (mosquitto_want_write(m_mosq) ? POLLOUT : 0)), 0};
    }
    if (wakeFd >= 0) {
        fds[count++] = {wakeFd, POLLIN, 0};
    }
    if (::poll(fds, count, timeoutMs) < 0 && errno != EINTR) {
        return fromErrno(errno);
    }
    if (sock < 0) {
        return m_mosq ? TransportStatus{TransportError::Lost, QStringLiteral("no connection")}
                      : TransportStatus{};
    }
    int rc = MOSQ_ERR_SUCCESS;
    if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
        rc = mosquitto_loop_read(m_mosq, kPacketsPerCall);
    }
    if (rc == MOSQ_ERR_SUCCESS && (fds[0].revents & POLLOUT)) {
        rc = mosquitto_loop_write(m_mosq, kPacketsPerCall);
    }
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_loop_misc(m_mosq);
    }
    return statusOf(rc, errno);
}

std::vector<int> MosquittoTransport::takeDelivered() {
    std::vector<int> delivered;
    delivered.swap(m_delivered);
    return delivered;
}

void MosquittoTransport::close(bool graceful) {
    if (!m_mosq) {
        return;
    }
    if (graceful && m_connected) {
        mosquitto_disconnect(m_mosq);
        // Whatever libmosquitto could not write at once (the DISCONNECT itself, perhaps).
        for (int i = 0; i < 8 && mosquitto_want_write(m_mosq); ++i) {
            pollfd fd{mosquitto_socket(m_mosq), POLLOUT, 0};
            if (fd.fd < 0 || ::poll(&fd, 1, 50) <= 0 ||
                mosquitto_loop_write(m_mosq, kPacketsPerCall) != MOSQ_ERR_SUCCESS) {
                break;
            }
        }
    }
    mosquitto_destroy(m_mosq);
    m_mosq = nullptr;
    m_connected = false;
    m_delivered.clear();
}

void MosquittoTransport::onConnect(mosquitto*, void* self, int rc) {
    auto* t = static_cast<MosquittoTransport*>(self);
    t->m_connackCode = rc;
    t->m_connected = rc == 0;
}

void MosquittoTransport::onDisconnect(mosquitto*, void* self, int) {
    static_cast<MosquittoTransport*>(self)->m_connected = false;
}

void MosquittoTransport::onPublish(mosquitto*, void* self, int mid) {
    static_cast<MosquittoTransport*>(self)->m_delivered.push_back(mid);
}

void MosquittoTransport::onLog(mosquitto*, void* self, int level, const char* text) {
    if (level == MOSQ_LOG_ERR && text) {
        // Bounded: the text comes from the library, but a peer's certificate can shape it.
        static_cast<MosquittoTransport*>(self)->m_lastLibraryError =
            QString::fromUtf8(text).left(300);
    }
}

} // namespace mqtt

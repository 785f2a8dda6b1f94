#include "PublisherWorker.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace mqtt {

namespace {

using std::chrono::milliseconds;

// Messages handed to the session before the broker's acknowledgements: enough to keep the
// line busy, few enough that a lost connection leaves little to resend.
constexpr size_t kWindow = 16;
// The longest wait in one call, so that keep-alive pings go out in time.
constexpr int kServiceMs = 1000;
// How long the broker may take to answer a connection request.
constexpr milliseconds kConnectTimeout{10000};
// On shutdown, how long the offline message may take once the queue is done with.
constexpr milliseconds kOfflineGrace{500};

int msUntil(std::chrono::steady_clock::time_point t) {
    const auto left =
        std::chrono::duration_cast<milliseconds>(t - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<milliseconds::rep>(left.count(), 0, kServiceMs));
}

} // namespace

PublisherWorker::PublisherWorker(const ResolvedOptions& options, QByteArray password,
                                 LogFunction log, std::unique_ptr<MqttTransport> transport)
    : m_options(options)
    , m_format(options)
    , m_log(std::move(log))
    , m_transport(std::move(transport))
    , m_queue(options.options.queueLimit)
    , m_backoff(options.options.reconnectMinMs) {
    const MqttOptions& o = options.options;
    m_settings.broker = options.broker;
    m_settings.caFile = o.caFile;
    m_settings.clientId = o.clientId;
    m_settings.username = o.username;
    m_settings.password = std::move(password);
    m_settings.keepAliveS = o.keepAliveS;
    m_settings.qos = o.qos;
    m_settings.will = m_format.availability(false);
}

PublisherWorker::~PublisherWorker() {
    stop();
}

HRESULT PublisherWorker::start(QString* error) {
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) {
        if (error) {
            *error = QStringLiteral("cannot create the publisher's wake-up descriptor");
        }
        return com::E_FAIL;
    }
    m_nextAttempt = Clock::now();
    m_thread = std::thread([this] { run(); });
    return com::S_OK;
}

void PublisherWorker::enqueue(const archive::Entry& entry) {
    m_queue.push(entry);
    const quint64 one = 1;
    if (m_wakeFd >= 0 && ::write(m_wakeFd, &one, sizeof one) < 0) {
        // The counter is full, so the thread is due to wake anyway.
    }
}

void PublisherWorker::stop() {
    if (!m_thread.joinable()) {
        return;
    }
    // The whole shutdown, the queue and then "offline", fits in the drain time.
    const auto deadline = Clock::now() + milliseconds(m_options.options.shutdownDrainMs);
    m_shutdownDeadline.store(deadline.time_since_epoch().count());
    m_stop.store(true);
    const quint64 one = 1;
    if (::write(m_wakeFd, &one, sizeof one) < 0) {
        // As in enqueue().
    }
    m_thread.join();
    ::close(m_wakeFd);
    m_wakeFd = -1;
}

void PublisherWorker::log(LogPriority priority, const QString& message) const {
    if (m_log) {
        m_log(priority, QStringLiteral("MQTT: ") + message);
    }
}

QString PublisherWorker::brokerName() const {
    return QStringLiteral("%1:%2").arg(m_options.broker.host).arg(m_options.broker.port);
}

PublisherWorker::Clock::time_point PublisherWorker::shutdownDeadline() const {
    return Clock::time_point{Clock::duration(m_shutdownDeadline.load())};
}

PublisherWorker::Clock::time_point PublisherWorker::drainDeadline() const {
    return shutdownDeadline() - offlineGrace();
}

milliseconds PublisherWorker::offlineGrace() const {
    // The last part of the shutdown time is kept for the "offline" message.
    return std::min(kOfflineGrace, milliseconds(m_options.options.shutdownDrainMs / 4));
}

bool PublisherWorker::drained() const {
    return m_pending.empty() && m_queue.isEmpty();
}

void PublisherWorker::run() {
    for (;;) {
        reportDrops();
        if (m_stop.load()) {
            if (!m_sessionUp || drained() || Clock::now() >= drainDeadline()) {
                break;
            }
        }
        if (!m_sessionOpen) {
            if (m_stop.load()) {
                break;
            }
            if (Clock::now() < m_nextAttempt) {
                waitForWake(m_nextAttempt);
            } else {
                attempt();
            }
            continue;
        }
        serviceSession();
    }
    finish();
}

void PublisherWorker::attempt() {
    ++m_attempts;
    const TransportStatus st = m_transport->open(m_settings);
    if (!st.ok()) {
        fail(st);
        return;
    }
    m_sessionOpen = true;
    m_connectDeadline = Clock::now() + kConnectTimeout;
}

void PublisherWorker::serviceSession() {
    if (m_sessionUp) {
        fillWindow();
        sendPending();
        if (!m_sessionOpen) {
            return;
        }
    }
    const TransportStatus st = m_transport->service(pollTimeoutMs(), m_wakeFd);
    clearWake();
    if (!st.ok()) {
        fail(st);
        return;
    }
    if (m_sessionUp) {
        acknowledge(m_transport->takeDelivered());
    } else if (m_transport->isConnected()) {
        onConnected();
    } else if (Clock::now() >= m_connectDeadline) {
        fail({TransportError::Timeout, QStringLiteral("no answer to the connection request")});
    }
}

int PublisherWorker::pollTimeoutMs() const {
    if (!m_sessionUp) {
        return msUntil(m_connectDeadline);
    }
    if (m_stop.load()) {
        return msUntil(drainDeadline());
    }
    return kServiceMs;
}

void PublisherWorker::onConnected() {
    m_sessionUp = true;
    m_backoff = milliseconds(m_options.options.reconnectMinMs);
    m_lastLogged = TransportError::None;
    log(LogPriority::Info, QStringLiteral("connected to the broker at %1").arg(brokerName()));
    if (m_droppedUnlogged > 0) {
        log(LogPriority::Warning,
            QStringLiteral("%1 ticks were dropped, oldest first, while the broker could not be "
                           "reached (queue limit %2)")
                .arg(m_droppedUnlogged)
                .arg(m_options.options.queueLimit));
        m_droppedUnlogged = 0;
    }
    m_droppingLogged = false;
    // Discovery first, so that the sensors exist before their first state; then "online".
    std::vector<OutMessage> opening = m_format.discovery();
    opening.push_back(m_format.availability(true));
    for (const OutMessage& m : opening) {
        int id = -1;
        if (const TransportStatus st = m_transport->publish(m, m_options.options.qos, &id);
            !st.ok()) {
            fail(st);
            return;
        }
    }
}

void PublisherWorker::fail(const TransportStatus& status) {
    const bool wasUp = m_sessionUp;
    m_transport->close(false);
    m_sessionOpen = false;
    m_sessionUp = false;
    for (Pending& p : m_pending) {
        p.messageId = -1;
    }
    m_nextAttempt = Clock::now() + m_backoff;
    m_backoff = std::min(m_backoff * 2, milliseconds(m_options.options.reconnectMaxMs));
    if (status.error == m_lastLogged && !wasUp) {
        return;
    }
    m_lastLogged = status.error;
    const QString broker = brokerName();
    const QString retry = QStringLiteral("; retrying, at most every %1 s")
                              .arg(m_options.options.reconnectMaxMs / 1000.0);
    switch (status.error) {
    case TransportError::Resolve:
        log(LogPriority::Error,
            QStringLiteral("the broker's name %1 does not resolve").arg(m_options.broker.host) +
                retry);
        break;
    case TransportError::Auth:
        log(LogPriority::Error, QStringLiteral("the broker at %1 refused the connection: %2 "
                                               "(check username and password_file)")
                                        .arg(broker, status.detail) +
                                    retry);
        break;
    case TransportError::Tls:
        log(LogPriority::Error, QStringLiteral("TLS with the broker at %1 failed: %2 (check "
                                               "ca_file and the broker's certificate)")
                                        .arg(broker, status.detail) +
                                    retry);
        break;
    case TransportError::Lost:
        log(LogPriority::Warning, QStringLiteral("lost the connection to the broker at %1: %2")
                                          .arg(broker, status.detail) +
                                      retry);
        break;
    default:
        log(LogPriority::Warning,
            QStringLiteral("cannot connect to the broker at %1: %2").arg(broker, status.detail) +
                retry);
        break;
    }
}

void PublisherWorker::fillWindow() {
    while (m_pending.size() < kWindow) {
        const std::optional<archive::Entry> entry = m_queue.pop();
        if (!entry) {
            return;
        }
        m_pending.push_back({m_format.tick(*entry), -1, true});
        // The link is up while ticks complete; any failed tick, whatever its kind, takes it down.
        const bool up = entry->isReading();
        if (m_linkUp != up) {
            m_linkUp = up;
            m_pending.push_back({m_format.link(up)});
        }
    }
}

void PublisherWorker::sendPending() {
    for (Pending& p : m_pending) {
        if (p.messageId >= 0) {
            continue;
        }
        int id = -1;
        if (const TransportStatus st = m_transport->publish(p.message, m_options.options.qos, &id);
            !st.ok()) {
            fail(st);
            return;
        }
        p.messageId = id;
    }
}

void PublisherWorker::acknowledge(const std::vector<int>& messageIds) {
    for (const int id : messageIds) {
        const auto it = std::find_if(m_pending.begin(), m_pending.end(),
                                     [id](const Pending& p) { return p.messageId == id; });
        if (it != m_pending.end()) {
            m_pending.erase(it);
        }
    }
}

void PublisherWorker::reportDrops() {
    const quint64 dropped = m_queue.takeDropped();
    if (dropped == 0) {
        return;
    }
    m_droppedUnlogged += dropped;
    if (!m_droppingLogged) {
        m_droppingLogged = true;
        log(LogPriority::Warning,
            QStringLiteral("the queue holds %1 ticks, its limit: dropping the oldest until the "
                           "broker can be reached")
                .arg(m_options.options.queueLimit));
    }
}

void PublisherWorker::finish() {
    if (m_sessionUp) {
        int offlineId = -1;
        const bool sent =
            m_transport->publish(m_format.availability(false), m_options.options.qos, &offlineId)
                .ok();
        const auto until = std::min(Clock::now() + offlineGrace(), shutdownDeadline());
        bool delivered = false;
        while (sent && !delivered && Clock::now() < until) {
            if (!m_transport->service(msUntil(until), -1).ok()) {
                break;
            }
            const std::vector<int> ids = m_transport->takeDelivered();
            delivered = std::find(ids.begin(), ids.end(), offlineId) != ids.end();
        }
        m_transport->close(true);
    } else {
        m_transport->close(false);
    }
    reportDrops();
    const qsizetype left =
        std::count_if(m_pending.begin(), m_pending.end(), [](const Pending& p) { return p.tick; }) +
        m_queue.size();
    if (m_droppedUnlogged > 0 || left > 0) {
        log(LogPriority::Warning, QStringLiteral("stopped with %1 ticks unpublished and %2 dropped")
                                      .arg(left)
                                      .arg(m_droppedUnlogged));
    }
}

void PublisherWorker::waitForWake(Clock::time_point until) {
    pollfd fd{m_wakeFd, POLLIN, 0};
    ::poll(&fd, 1, msUntil(until));
    clearWake();
}

void PublisherWorker::clearWake() {
    quint64 count = 0;
    while (::read(m_wakeFd, &count, sizeof count) > 0) {
    }
}

} // namespace mqtt

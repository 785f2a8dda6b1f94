#pragma once

#include "MessageFormat.h"
#include "MqttTransport.h"
#include "TickQueue.h"
#include "mqtt/MqttLog.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

namespace mqtt {

// The publisher's thread: takes ticks from the queue, keeps the session with the broker up,
// and sends in order, releasing a message only once the broker has acknowledged it.
class PublisherWorker {
public:
    PublisherWorker(const ResolvedOptions& options, QByteArray password, LogFunction log,
                    std::unique_ptr<MqttTransport> transport);
    ~PublisherWorker();
    PublisherWorker(const PublisherWorker&) = delete;
    PublisherWorker& operator=(const PublisherWorker&) = delete;

    [[nodiscard]] HRESULT start(QString* error);
    void enqueue(const archive::Entry& entry);
    void stop();

    quint64 droppedCount() const { return m_queue.droppedTotal(); }
    quint64 connectAttempts() const { return m_attempts.load(); }
    qsizetype queuedCount() const { return m_queue.size(); }

private:
    using Clock = std::chrono::steady_clock;

    // A message handed to the session (messageId >= 0) or waiting for one.
    struct Pending {
        OutMessage message;
        int messageId = -1;
        bool tick = false; // a tick's state or event, not a link change
    };

    void run();
    void attempt();
    void serviceSession();
    void onConnected();
    void fail(const TransportStatus& status);
    void fillWindow();
    void sendPending();
    void acknowledge(const std::vector<int>& messageIds);
    void finish();
    void reportDrops();
    void waitForWake(Clock::time_point until);
    void clearWake();
    int pollTimeoutMs() const;
    bool drained() const;
    Clock::time_point shutdownDeadline() const;
    Clock::time_point drainDeadline() const;
    std::chrono::milliseconds offlineGrace() const;
    void log(LogPriority priority, const QString& message) const;
    QString brokerName() const;

    ResolvedOptions m_options;
    MessageFormat m_format;
    ConnectSettings m_settings;
    LogFunction m_log;
    std::unique_ptr<MqttTransport> m_transport;
    TickQueue m_queue;
    std::deque<Pending> m_pending;
    std::optional<bool> m_linkUp;

    std::thread m_thread;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<Clock::rep> m_shutdownDeadline{0};
    std::atomic<quint64> m_attempts{0};

    // Thread-only state.
    bool m_sessionOpen = false; // open() succeeded; waiting for, or past, the broker's answer
    bool m_sessionUp = false;   // the broker accepted the connection
    Clock::time_point m_nextAttempt;
    Clock::time_point m_connectDeadline;
    std::chrono::milliseconds m_backoff;
    TransportError m_lastLogged = TransportError::None;
    bool m_droppingLogged = false;
    quint64 m_droppedUnlogged = 0;
};

} // namespace mqtt

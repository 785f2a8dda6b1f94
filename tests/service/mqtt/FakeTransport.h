// A session the test scripts instead of libmosquitto's: it records what the publisher hands
// over, acknowledges only when told to, and loses the connection on demand.
#pragma once

#include "MqttTransport.h"

#include <QList>

#include <condition_variable>
#include <functional>
#include <mutex>

#include <poll.h>

namespace mqtttest {

class FakeTransport final : public mqtt::MqttTransport {
public:
    struct Published {
        int session = 0;
        int id = 0;
        mqtt::OutMessage message;
    };

    // What the test sees; the publisher's thread changes it.
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        QList<Published> published;
        QList<int> toAcknowledge;
        bool dropNext = false;
        int sessions = 0;
        bool closedGracefully = false;

        bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
            std::unique_lock lock(mutex);
            return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), done);
        }
        // Acknowledges everything handed over so far.
        void acknowledgeAll() {
            std::lock_guard lock(mutex);
            for (const Published& p : published) {
                toAcknowledge.append(p.id);
            }
        }
        void dropConnection() {
            std::lock_guard lock(mutex);
            dropNext = true;
        }
        QByteArrayList payloads(const QByteArray& topic) {
            std::lock_guard lock(mutex);
            QByteArrayList list;
            for (const Published& p : published) {
                if (p.message.topic == topic) {
                    list.append(p.message.payload);
                }
            }
            return list;
        }
    };

    explicit FakeTransport(Shared& shared)
        : m_shared(shared) {}

    mqtt::TransportStatus open(const mqtt::ConnectSettings&) override {
        std::lock_guard lock(m_shared.mutex);
        ++m_shared.sessions;
        m_connected = true;
        m_shared.changed.notify_all();
        return {};
    }
    bool isConnected() const override { return m_connected; }
    mqtt::TransportStatus publish(const mqtt::OutMessage& message, int, int* id) override {
        std::lock_guard lock(m_shared.mutex);
        *id = ++m_nextId;
        m_shared.published.append({m_shared.sessions, *id, message});
        m_shared.changed.notify_all();
        return {};
    }
    mqtt::TransportStatus service(int timeoutMs, int wakeFd) override {
        pollfd fd{wakeFd, POLLIN, 0};
        ::poll(&fd, wakeFd >= 0 ? 1 : 0, std::min(timeoutMs, 10));
        std::lock_guard lock(m_shared.mutex);
        if (m_shared.dropNext) {
            m_shared.dropNext = false;
            m_connected = false;
            return {mqtt::TransportError::Lost, QStringLiteral("dropped by the test")};
        }
        if (!m_shared.toAcknowledge.isEmpty()) {
            m_delivered += m_shared.toAcknowledge;
            m_shared.toAcknowledge.clear();
            m_shared.changed.notify_all();
        }
        return {};
    }
    std::vector<int> takeDelivered() override {
        std::vector<int> ids(m_delivered.begin(), m_delivered.end());
        m_delivered.clear();
        return ids;
    }
    void close(bool graceful) override {
        std::lock_guard lock(m_shared.mutex);
        m_shared.closedGracefully = graceful && m_connected;
        m_connected = false;
        m_shared.changed.notify_all();
    }

private:
    Shared& m_shared;
    bool m_connected = false;
    int m_nextId = 0;
    QList<int> m_delivered;
};

} // namespace mqtttest

// An MQTT client of the test's own that subscribes and records what arrives, on libmosquitto's
// loop thread. It reconnects by itself when the broker comes back.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>

struct mosquitto;
struct mosquitto_message;

namespace testsupport {

struct ReceivedMessage {
    QByteArray topic;
    QByteArray payload;
    bool retained = false;
};

class TestSubscriber {
public:
    struct Settings {
        quint16 port = 0;
        QByteArray filter = "#";
        // Non-empty: a persistent session under this client id, so that the broker keeps
        // messages for it while it is away.
        QByteArray persistentId;
        QByteArray user;
        QByteArray password;
    };

    explicit TestSubscriber(const Settings& settings);
    ~TestSubscriber();
    TestSubscriber(const TestSubscriber&) = delete;
    TestSubscriber& operator=(const TestSubscriber&) = delete;

    // Connects and waits for the subscription to be granted.
    bool start(int timeoutMs = 10000);
    void stop();

    QList<ReceivedMessage> messages() const;
    QList<ReceivedMessage> on(const QByteArray& topic) const;
    // Waits until `done` holds for the messages so far; false on time-out.
    bool waitUntil(const std::function<bool(const QList<ReceivedMessage>&)>& done,
                   int timeoutMs = 10000) const;
    // Waits until `count` messages arrived on `topic`.
    bool waitForCount(const QByteArray& topic, int count, int timeoutMs = 10000) const;
    // Waits until the last message on `topic` is `payload`.
    bool waitForLast(const QByteArray& topic, const QByteArray& payload,
                     int timeoutMs = 10000) const;

    // Called on the loop thread for each message, after it is recorded.
    void setListener(std::function<void(const ReceivedMessage&)> listener);

private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onSubscribe(mosquitto*, void* self, int, int, const int*);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);

    Settings m_settings;
    mosquitto* m_mosq = nullptr;
    bool m_looping = false;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    QList<ReceivedMessage> m_messages;
    bool m_subscribed = false;
    std::function<void(const ReceivedMessage&)> m_listener;
};

} // namespace testsupport

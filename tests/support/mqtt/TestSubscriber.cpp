#include "TestSubscriber.h"

#include <mosquitto.h>

#include <chrono>
#include <mutex>

namespace testsupport {

TestSubscriber::TestSubscriber(const Settings& settings)
    : m_settings(settings) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
    const bool persistent = !settings.persistentId.isEmpty();
    m_mosq =
        mosquitto_new(persistent ? settings.persistentId.constData() : nullptr, !persistent, this);
    mosquitto_connect_callback_set(m_mosq, &TestSubscriber::onConnect);
    mosquitto_subscribe_callback_set(m_mosq, &TestSubscriber::onSubscribe);
    mosquitto_message_callback_set(m_mosq, &TestSubscriber::onMessage);
    mosquitto_reconnect_delay_set(m_mosq, 1, 1, false);
    if (!settings.user.isEmpty()) {
        mosquitto_username_pw_set(m_mosq, settings.user.constData(), settings.password.constData());
    }
}

TestSubscriber::~TestSubscriber() {
    stop();
    mosquitto_destroy(m_mosq);
}

bool TestSubscriber::start(int timeoutMs) {
    if (mosquitto_connect(m_mosq, "127.0.0.1", m_settings.port, 30) != MOSQ_ERR_SUCCESS ||
        mosquitto_loop_start(m_mosq) != MOSQ_ERR_SUCCESS) {
        return false;
    }
    m_looping = true;
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_subscribed; });
}

void TestSubscriber::stop() {
    if (m_looping) {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, false);
        m_looping = false;
    }
}

QList<ReceivedMessage> TestSubscriber::messages() const {
    std::lock_guard lock(m_mutex);
    return m_messages;
}

QList<ReceivedMessage> TestSubscriber::on(const QByteArray& topic) const {
    QList<ReceivedMessage> result;
    for (const ReceivedMessage& m : messages()) {
        if (m.topic == topic) {
            result.append(m);
        }
    }
    return result;
}

bool TestSubscriber::waitUntil(const std::function<bool(const QList<ReceivedMessage>&)>& done,
                               int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return done(m_messages); });
}

bool TestSubscriber::waitForCount(const QByteArray& topic, int count, int timeoutMs) const {
    return waitUntil(
        [&](const QList<ReceivedMessage>& all) {
            int n = 0;
            for (const ReceivedMessage& m : all) {
                n += m.topic == topic ? 1 : 0;
            }
            return n >= count;
        },
        timeoutMs);
}

bool TestSubscriber::waitForLast(const QByteArray& topic, const QByteArray& payload,
                                 int timeoutMs) const {
    return waitUntil(
        [&](const QList<ReceivedMessage>& all) {
            for (auto it = all.crbegin(); it != all.crend(); ++it) {
                if (it->topic == topic) {
                    return it->payload == payload;
                }
            }
            return false;
        },
        timeoutMs);
}

void TestSubscriber::setListener(std::function<void(const ReceivedMessage&)> listener) {
    std::lock_guard lock(m_mutex);
    m_listener = std::move(listener);
}

void TestSubscriber::onConnect(mosquitto* mosq, void* self, int rc) {
    auto* s = static_cast<TestSubscriber*>(self);
    if (rc == 0) {
        mosquitto_subscribe(mosq, nullptr, s->m_settings.filter.constData(), 1);
    }
}

void TestSubscriber::onSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto* s = static_cast<TestSubscriber*>(self);
    std::lock_guard lock(s->m_mutex);
    s->m_subscribed = true;
    s->m_changed.notify_all();
}

void TestSubscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* s = static_cast<TestSubscriber*>(self);
    ReceivedMessage m{QByteArray(message->topic),
                      QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                      message->retain};
    std::function<void(const ReceivedMessage&)> listener;
    {
        std::lock_guard lock(s->m_mutex);
        s->m_messages.append(m);
        listener = s->m_listener;
        s->m_changed.notify_all();
    }
    if (listener) {
        listener(m);
    }
}

} // namespace testsupport

#pragma once

#include "MqttTransport.h"

struct mosquitto;

namespace mqtt {

// The session over libmosquitto, driven by our own poll() rather than the library's thread so
// that a wake-up descriptor can end the wait as soon as a tick arrives.
class MosquittoTransport final : public MqttTransport {
public:
    MosquittoTransport();
    ~MosquittoTransport() override;
    MosquittoTransport(const MosquittoTransport&) = delete;
    MosquittoTransport& operator=(const MosquittoTransport&) = delete;

    TransportStatus open(const ConnectSettings& settings) override;
    bool isConnected() const override { return m_connected; }
    TransportStatus publish(const OutMessage& message, int qos, int* messageId) override;
    TransportStatus service(int timeoutMs, int wakeFd) override;
    std::vector<int> takeDelivered() override;
    void close(bool graceful) override;

private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid);
    static void onLog(mosquitto*, void* self, int level, const char* text);

    TransportStatus configure(const ConnectSettings& settings);
    TransportStatus statusOf(int rc, int savedErrno) const;

    mosquitto* m_mosq = nullptr;
    bool m_connected = false;
    int m_connackCode = -1;
    std::vector<int> m_delivered;
    QString m_lastLibraryError; // what libmosquitto last logged as an error (the TLS reason)
};

} // namespace mqtt

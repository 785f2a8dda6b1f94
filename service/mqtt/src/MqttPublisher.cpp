#include "mqtt/MqttPublisher.h"

#include "MqttTransport.h"
#include "PublisherWorker.h"

namespace mqtt {

MqttPublisher::MqttPublisher(const MqttOptions& options, LogFunction log)
    : m_options(options)
    , m_log(std::move(log)) {}

MqttPublisher::~MqttPublisher() {
    shutdown();
}

HRESULT MqttPublisher::start(QString* error) {
    if (m_worker) {
        return com::S_FALSE;
    }
    ResolvedOptions resolved;
    if (const HRESULT hr = resolveOptions(m_options, &resolved, error); com::failed(hr)) {
        return hr;
    }
    QByteArray password;
    if (!m_options.passwordFile.isEmpty()) {
        if (const HRESULT hr = readPasswordFile(m_options.passwordFile, &password, error);
            com::failed(hr)) {
            return hr;
        }
    }
    auto worker = std::make_unique<PublisherWorker>(resolved, std::move(password), m_log,
                                                    makeMosquittoTransport());
    if (const HRESULT hr = worker->start(error); com::failed(hr)) {
        return hr;
    }
    m_worker = std::move(worker);
    return com::S_OK;
}

void MqttPublisher::publish(const archive::Entry& entry) {
    if (m_worker) {
        m_worker->enqueue(entry);
    }
}

void MqttPublisher::shutdown() {
    if (m_worker) {
        m_worker->stop();
    }
}

quint64 MqttPublisher::droppedCount() const {
    return m_worker ? m_worker->droppedCount() : 0;
}

quint64 MqttPublisher::connectAttempts() const {
    return m_worker ? m_worker->connectAttempts() : 0;
}

qsizetype MqttPublisher::queuedCount() const {
    return m_worker ? m_worker->queuedCount() : 0;
}

} // namespace mqtt

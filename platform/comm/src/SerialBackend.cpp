#include "comm/SerialBackend.h"

namespace comm {

SerialBackend::~SerialBackend() = default;

void SerialBackend::notifyReceived(const QByteArray& bytes) const {
    if (m_listener.received && !bytes.isEmpty()) {
        m_listener.received(bytes);
    }
}

void SerialBackend::notifyEmptyEvent() const {
    if (m_listener.emptyEvent) {
        m_listener.emptyEvent();
    }
}

void SerialBackend::notifyLost(CommError error, const QString& detail) const {
    if (m_listener.lost) {
        m_listener.lost(error, detail);
    }
}

} // namespace comm

#include "comm/FakeSerialBackend.h"

#include <memory>

namespace comm {

FakeSerialBackend::FakeSerialBackend(forms::Scheduler& scheduler)
    : m_scheduler(scheduler) {}

FakeSerialBackend::~FakeSerialBackend() {
    for (const auto id : m_scheduled) {
        m_scheduler.cancel(id);
    }
}

void FakeSerialBackend::setOpenFailure(CommError error, const QString& detail,
                                       const QString& holder) {
    m_openFailure = {error, detail, holder};
}

void FakeSerialBackend::at(qint64 atMs, std::function<void()> action) {
    const qint64 delay = qMax<qint64>(0, atMs - m_scheduler.nowMs());
    auto id = std::make_shared<forms::Scheduler::Id>(0);
    *id = m_scheduler.post(
        [this, id, run = std::move(action)] {
            m_scheduled.erase(*id);
            run();
        },
        static_cast<int>(delay));
    m_scheduled.insert(*id);
}

void FakeSerialBackend::deliverAt(qint64 atMs, const QByteArray& bytes) {
    at(atMs, [this, bytes] {
        if (m_open) {
            notifyReceived(bytes);
        }
    });
}

void FakeSerialBackend::deliverAfter(qint64 delayMs, const QByteArray& bytes) {
    deliverAt(m_scheduler.nowMs() + delayMs, bytes);
}

void FakeSerialBackend::deliverSpaced(qint64 delayMs, const QByteArray& bytes, qint64 gapMs) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        deliverAfter(delayMs + i * gapMs, bytes.mid(i, 1));
    }
}

void FakeSerialBackend::emptyEventAt(qint64 atMs) {
    at(atMs, [this] {
        if (m_open) {
            notifyEmptyEvent();
        }
    });
}

void FakeSerialBackend::loseDeviceAt(qint64 atMs, const QString& detail) {
    at(atMs, [this, detail] {
        if (m_open) {
            m_open = false;
            notifyLost(CommError::DeviceLost, detail);
        }
    });
}

QByteArray FakeSerialBackend::written() const {
    QByteArray all;
    for (const Write& w : m_writes) {
        all += w.bytes;
    }
    return all;
}

BackendStatus FakeSerialBackend::open(const QString& device, const SerialSettings& settings) {
    if (m_open) {
        return {CommError::PortAlreadyOpen, {}};
    }
    if (!m_openFailure.ok()) {
        return m_openFailure;
    }
    m_device = device;
    m_settings = settings;
    m_open = true;
    ++m_openCount;
    return {};
}

BackendStatus FakeSerialBackend::applySettings(const SerialSettings& settings) {
    if (!m_open) {
        return {CommError::PortNotOpen, {}};
    }
    m_settings = settings;
    return {};
}

bool FakeSerialBackend::write(const QByteArray& bytes) {
    if (!m_open) {
        return false;
    }
    m_writes.append({m_scheduler.nowMs(), bytes});
    if (m_responder) {
        m_responder(*this, bytes);
    }
    return true;
}

} // namespace comm

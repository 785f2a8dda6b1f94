#include "comm/CommPort.h"

#include "QSerialPortBackend.h"

namespace comm {

CommPort::CommPort(std::unique_ptr<SerialBackend> backend, forms::Scheduler& scheduler)
    : m_backend(backend ? std::move(backend) : std::make_unique<QSerialPortBackend>())
    , m_scheduler(scheduler) {
    m_backend->setListener({
        [this](const QByteArray& bytes) { received(bytes); },
        [this] { raiseEvents(1); },
        [this](CommError error, const QString& detail) { lost(error, detail); },
    });
}

CommPort::~CommPort() {
    dropPendingEvents();
    m_backend->setListener({});
    m_backend->close();
}

QString CommPort::deviceForPort(int port) {
    const QByteArray variable = "BRISORA_COM" + QByteArray::number(port);
    const QString mapped = qEnvironmentVariable(variable.constData());
    return mapped.isEmpty() ? QStringLiteral("/dev/ttyS%1").arg(port - 1) : mapped;
}

CommError CommPort::setCommPort(int port) {
    if (portOpen()) {
        return CommError::PortAlreadyOpen;
    }
    if (port < 1) {
        return CommError::InvalidPortNumber;
    }
    m_port = port;
    return CommError::None;
}

CommError CommPort::setDevice(const QString& device) {
    if (portOpen()) {
        return CommError::PortAlreadyOpen;
    }
    m_device = device;
    return CommError::None;
}

QString CommPort::device() const {
    return m_device.isEmpty() ? deviceForPort(m_port) : m_device;
}

CommError CommPort::setSettings(const QString& settings) {
    const auto parsed = SerialSettings::parse(settings, &m_lastDetail);
    if (!parsed) {
        return CommError::InvalidSettings;
    }
    if (portOpen()) {
        const BackendStatus status = m_backend->applySettings(*parsed);
        if (!status.ok()) {
            // Leave the line as it was.
            m_backend->applySettings(m_settings);
            m_lastDetail = status.detail;
            return status.error;
        }
    }
    m_settings = *parsed;
    return CommError::None;
}

bool CommPort::portOpen() const {
    return m_backend->isOpen();
}

CommError CommPort::setPortOpen(bool open) {
    if (!open) {
        dropPendingEvents();
        m_backend->close();
        return CommError::None;
    }
    if (portOpen()) {
        return CommError::PortAlreadyOpen;
    }
    const BackendStatus status = m_backend->open(device(), m_settings);
    m_lastDetail = status.detail;
    m_lastOpenError = status.error;
    m_busyHolder = status.holder;
    if (status.ok()) {
        m_alive = std::make_shared<CommPort*>(this);
    }
    return status.error;
}

CommError CommPort::output(const QByteArray& bytes) {
    if (!portOpen()) {
        return CommError::PortNotOpen;
    }
    return m_backend->write(bytes) ? CommError::None : CommError::WriteFailed;
}

QByteArray CommPort::input() {
    const qsizetype count =
        m_inputLen == 0 ? m_inBuffer.size() : qMin<qsizetype>(m_inputLen, m_inBuffer.size());
    QByteArray taken = m_inBuffer.left(count);
    m_inBuffer.remove(0, count);
    return taken;
}

void CommPort::received(const QByteArray& bytes) {
    const qsizetype room = kInBufferSize - m_inBuffer.size();
    const qsizetype kept = qMin(room, bytes.size());
    m_inBuffer += bytes.left(kept);
    m_overruns += bytes.size() - kept;
    raiseEvents(static_cast<int>(kept));
}

void CommPort::raiseEvents(int count) {
    if (m_rThreshold <= 0 || !m_alive) {
        return;
    }
    const std::weak_ptr<CommPort*> alive = m_alive;
    for (int i = 0; i < count; ++i) {
        m_scheduler.post([alive] {
            if (const auto port = alive.lock(); port && (*port)->m_onComm) {
                (*port)->m_onComm();
            }
        });
    }
}

void CommPort::dropPendingEvents() {
    // Events already posted find their opening gone and do nothing.
    m_alive.reset();
    m_inBuffer.clear();
}

void CommPort::lost(CommError error, const QString& detail) {
    dropPendingEvents();
    m_lastDetail = detail;
    if (m_onLost) {
        m_onLost(error, detail);
    }
}

} // namespace comm

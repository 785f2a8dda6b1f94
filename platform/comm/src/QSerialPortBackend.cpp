#include "QSerialPortBackend.h"

#include <QFileInfo>

#include <unistd.h>

namespace comm {

namespace {

QSerialPort::Parity qtParity(SerialSettings::Parity parity) {
    switch (parity) {
    case SerialSettings::Parity::Even:
        return QSerialPort::EvenParity;
    case SerialSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case SerialSettings::Parity::Mark:
        return QSerialPort::MarkParity;
    case SerialSettings::Parity::Space:
        return QSerialPort::SpaceParity;
    case SerialSettings::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits qtStopBits(SerialSettings::StopBits stopBits) {
    switch (stopBits) {
    case SerialSettings::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case SerialSettings::StopBits::Two:
        return QSerialPort::TwoStop;
    case SerialSettings::StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

} // namespace

QSerialPortBackend::QSerialPortBackend() {
    QObject::connect(&m_port, &QSerialPort::readyRead, [this] { onReadyRead(); });
    QObject::connect(&m_port, &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
}

QSerialPortBackend::~QSerialPortBackend() {
    QObject::disconnect(&m_port, nullptr, nullptr, nullptr);
    m_port.close();
}

BackendStatus QSerialPortBackend::open(const QString& device, const SerialSettings& settings) {
    if (m_port.isOpen()) {
        return {CommError::PortAlreadyOpen, {}};
    }
    if (!QFileInfo::exists(device)) {
        return {CommError::DeviceNotFound, {}};
    }
    if (m_lock.lock(device) == PortLock::Result::Busy) {
        return {CommError::DeviceBusy, {}, m_lock.holder()};
    }
    m_port.setPortName(device);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const BackendStatus status = statusOfOpenError(device);
        m_port.clearError();
        m_lock.unlock();
        return status;
    }
    const BackendStatus applied = applySettings(settings);
    if (!applied.ok()) {
        close();
    }
    return applied;
}

BackendStatus QSerialPortBackend::statusOfOpenError(const QString& device) const {
    switch (m_port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return {CommError::DeviceNotFound, m_port.errorString()};
    case QSerialPort::PermissionError: {
        // The lock of another program and a device we may not use both come as a permission
        // error; only the latter is refused by the file's own permissions.
        const QByteArray path = QFileInfo(device).absoluteFilePath().toLocal8Bit();
        const bool mayUse = ::access(path.constData(), R_OK | W_OK) == 0;
        return {mayUse ? CommError::DeviceBusy : CommError::PermissionDenied, m_port.errorString()};
    }
    case QSerialPort::OpenError:
        return {CommError::DeviceBusy, m_port.errorString()};
    default:
        return {CommError::Other, m_port.errorString()};
    }
}

BackendStatus QSerialPortBackend::applySettings(const SerialSettings& settings) {
    if (!m_port.isOpen()) {
        return {CommError::PortNotOpen, {}};
    }
    const bool ok = m_port.setBaudRate(settings.baudRate) &&
                    m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)) &&
                    m_port.setParity(qtParity(settings.parity)) &&
                    m_port.setStopBits(qtStopBits(settings.stopBits)) &&
                    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        const QString detail = m_port.errorString();
        m_port.clearError();
        return {CommError::UnsupportedSettings, detail};
    }
    return {};
}

void QSerialPortBackend::close() {
    if (m_port.isOpen()) {
        m_port.close();
    }
    m_lock.unlock();
}

bool QSerialPortBackend::write(const QByteArray& bytes) {
    if (!m_port.isOpen() || m_port.write(bytes) != bytes.size()) {
        return false;
    }
    m_port.flush();
    return true;
}

void QSerialPortBackend::onReadyRead() {
    notifyReceived(m_port.readAll());
}

void QSerialPortBackend::onError(QSerialPort::SerialPortError error) {
    // A terminal line that has hung up keeps failing every read, so a read error counts as a
    // loss like the resource error of an unplugged adapter.
    const bool gone = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!gone || !m_port.isOpen()) {
        return;
    }
    // The device went away (an adapter unplugged, the other end of a terminal closed). Close
    // once the port has finished reporting, not from inside its own notification.
    const QString detail = m_port.errorString();
    QMetaObject::invokeMethod(
        &m_port,
        [this, detail] {
            if (!m_port.isOpen()) {
                return;
            }
            m_port.close();
            m_port.clearError();
            m_lock.unlock();
            notifyLost(CommError::DeviceLost, detail);
        },
        Qt::QueuedConnection);
}

} // namespace comm

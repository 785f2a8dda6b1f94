#pragma once

#include "PortLock.h"
#include "comm/SerialBackend.h"

#include <QSerialPort>

namespace comm {

// A real serial device through QSerialPort. The device's PortLock is taken before it is opened
// and let go when it is closed or lost; QSerialPort also puts it into exclusive mode.
class QSerialPortBackend final : public SerialBackend {
public:
    QSerialPortBackend();
    ~QSerialPortBackend() override;

    BackendStatus open(const QString& device, const SerialSettings& settings) override;
    BackendStatus applySettings(const SerialSettings& settings) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    bool write(const QByteArray& bytes) override;

private:
    BackendStatus statusOfOpenError(const QString& device) const;
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    PortLock m_lock;
};

} // namespace comm

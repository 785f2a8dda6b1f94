#pragma once

#include "SerialBackend.h"

#include <QSerialPort>

namespace comm {

// A real serial device through QSerialPort (which also takes the device's lock file, so a
// second program cannot open it at the same time).
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
};

} // namespace comm

#pragma once

#include "CommError.h"
#include "SerialBackend.h"
#include "SerialSettings.h"

#include "forms/Scheduler.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

namespace comm {

// The program's serial port, in the manner of a communications control: choose the port number
// and the settings string, open it, write bytes to Output, read them from Input. With an
// RThreshold of 1 or more the receive event (onComm) is raised on the scheduler's thread once
// for every byte received, even when several bytes arrive together; a handler that reads one
// byte per event therefore sees every byte. Port n is the device named by the environment
// variable BRISORA_COM<n> when it is set, else /dev/ttyS<n-1>.
class CommPort {
public:
    // Bytes kept for Input before further ones are dropped.
    static constexpr int kInBufferSize = 4096;

    explicit CommPort(std::unique_ptr<SerialBackend> backend = {},
                      forms::Scheduler& scheduler = forms::Scheduler::instance());
    CommPort(const CommPort&) = delete;
    CommPort& operator=(const CommPort&) = delete;
    ~CommPort();

    // The device behind a port number.
    static QString deviceForPort(int port);

    int commPort() const { return m_port; }
    CommError setCommPort(int port);
    // A device named directly, in place of the port number's (empty: back to the number's).
    CommError setDevice(const QString& device);
    QString device() const;

    QString settings() const { return m_settings.toString(); }
    // Malformed or unsupported settings are refused and nothing changes.
    CommError setSettings(const QString& settings);

    int inputLen() const { return m_inputLen; }
    void setInputLen(int length) { m_inputLen = qMax(0, length); }
    int rThreshold() const { return m_rThreshold; }
    void setRThreshold(int threshold) { m_rThreshold = qMax(0, threshold); }

    bool portOpen() const;
    // Opens or closes the port. Opening reports why it failed (see lastErrorDetail()).
    CommError setPortOpen(bool open);

    // Puts the bytes on the line.
    CommError output(const QByteArray& bytes);
    // Removes and returns at most inputLen() received bytes (all of them when 0).
    QByteArray input();
    int inBufferCount() const { return static_cast<int>(m_inBuffer.size()); }
    // Bytes dropped because the input buffer was full.
    qint64 overrunCount() const { return m_overruns; }

    // The receive event.
    void setOnComm(std::function<void()> handler) { m_onComm = std::move(handler); }
    // Raised when the device is lost while open; the port is closed by then.
    void setOnLost(std::function<void(CommError, const QString&)> handler) {
        m_onLost = std::move(handler);
    }

    // The system's detail of the last failure to open or configure.
    QString lastErrorDetail() const { return m_lastDetail; }
    // The code of the last attempt to open the port (None once it opened).
    CommError lastOpenError() const { return m_lastOpenError; }
    // After an open refused with DeviceBusy: who holds the device, "<program> (pid N)", when
    // known (see PortLock).
    QString busyHolder() const { return m_busyHolder; }

private:
    void received(const QByteArray& bytes);
    void raiseEvents(int count);
    void lost(CommError error, const QString& detail);
    void dropPendingEvents();

    std::unique_ptr<SerialBackend> m_backend;
    CommError m_lastOpenError = CommError::None;
    QString m_busyHolder;
    forms::Scheduler& m_scheduler;
    std::shared_ptr<CommPort*> m_alive; // receive events posted for this opening of the port
    std::function<void()> m_onComm;
    std::function<void(CommError, const QString&)> m_onLost;
    QByteArray m_inBuffer;
    QString m_device;
    QString m_lastDetail;
    SerialSettings m_settings;
    qint64 m_overruns = 0;
    int m_port = 1;
    int m_inputLen = 0;
    int m_rThreshold = 0;
};

} // namespace comm

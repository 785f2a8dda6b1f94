#pragma once

#include "CommError.h"
#include "SerialSettings.h"

#include <QByteArray>

#include <functional>

namespace comm {

// Result of opening or configuring a device: a code and, on failure, the system's detail.
struct BackendStatus {
    BackendStatus() = default;
    BackendStatus(CommError e, QString d = {}, QString h = {})
        : error(e)
        , detail(std::move(d))
        , holder(std::move(h)) {}

    CommError error = CommError::None;
    QString detail;
    // For DeviceBusy: the program that holds the device, "<program> (pid N)", when known.
    QString holder;
    bool ok() const { return error == CommError::None; }
};

// The platform part of a serial port, behind CommPort. One implementation drives a real device;
// a scripted one plays a station in tests. Everything happens on the thread that owns the port.
class SerialBackend {
public:
    struct Listener {
        std::function<void(const QByteArray&)> received;     // bytes arrived
        std::function<void()> emptyEvent;                    // a receive event with nothing read
        std::function<void(CommError, const QString&)> lost; // the device went away; now closed
    };

    virtual ~SerialBackend();

    virtual BackendStatus open(const QString& device, const SerialSettings& settings) = 0;
    virtual BackendStatus applySettings(const SerialSettings& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues bytes for the line without blocking for long. False when they cannot be written.
    virtual bool write(const QByteArray& bytes) = 0;

    void setListener(Listener listener) { m_listener = std::move(listener); }

protected:
    void notifyReceived(const QByteArray& bytes) const;
    void notifyEmptyEvent() const;
    void notifyLost(CommError error, const QString& detail) const;

private:
    Listener m_listener;
};

} // namespace comm

#pragma once

#include <QString>

namespace service {

// Tells systemd how the service is doing, through libsystemd's sd_notify. Outside systemd
// (no NOTIFY_SOCKET) every call does nothing.
class SystemdNotify {
public:
    SystemdNotify();

    // Set-up done: the port and the archive are open, or their trouble is logged.
    void ready();
    // A configuration reload begins; ready() ends it.
    void reloading();
    void stopping();
    // The line systemctl status shows.
    void status(const QString& text);
    // Proof of life from the tick loop; only sent when the unit has a watchdog.
    void watchdog();

    bool watchdogEnabled() const { return m_watchdogUs > 0; }
    quint64 watchdogIntervalUs() const { return m_watchdogUs; }

private:
    void send(const QByteArray& state);

    quint64 m_watchdogUs = 0;
};

} // namespace service

#include "SystemdNotify.h"

#include <systemd/sd-daemon.h>

namespace service {

SystemdNotify::SystemdNotify() {
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0) {
        m_watchdogUs = usec;
    }
}

void SystemdNotify::ready() {
    send("READY=1");
}

void SystemdNotify::reloading() {
    send("RELOADING=1");
}

void SystemdNotify::stopping() {
    send("STOPPING=1");
}

void SystemdNotify::status(const QString& text) {
    QString flat = text.left(200);
    flat.replace(u'\n', u' ');
    send("STATUS=" + flat.toUtf8());
}

void SystemdNotify::watchdog() {
    if (watchdogEnabled()) {
        send("WATCHDOG=1");
    }
}

void SystemdNotify::send(const QByteArray& state) {
    // Failing to reach systemd is not the service's trouble: it keeps acquiring.
    [[maybe_unused]] const int sent = sd_notify(0, state.constData());
}

} // namespace service

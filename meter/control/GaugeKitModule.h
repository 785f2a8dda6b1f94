// Module-wide state of the meter control: the drawing library's context and start-up, the
// live meters in order of construction, the current meter, the counter that names drawing
// windows, and the one lock that guards them all (it admits the same thread again, since
// alarm handlers run while it is held).
#pragma once

#include <lum/Context.h>
#include <lum/LumTypes.h>

#include <QList>
#include <QRecursiveMutex>

namespace gaugekit {

class CGAUGEKITCtrl;

class GaugeKitModule {
public:
    static GaugeKitModule& instance();

    lum::Context* context() { return &m_context; }
    QRecursiveMutex& lock() { return m_lock; }

    // Live meters: a new meter is appended and becomes the current one.
    void add(CGAUGEKITCtrl* control);
    void remove(CGAUGEKITCtrl* control);
    QList<CGAUGEKITCtrl*> liveControls();
    // The meter most recently constructed or clicked (null when none lives).
    CGAUGEKITCtrl* current();
    void setCurrent(CGAUGEKITCtrl* control);

    // Takes the next drawing-window number (under the lock).
    int nextWindowNumber();
    // Starts the drawing library once per process; false if it could not be started.
    bool ensureLibraryStarted();
    // Routes the library's alarm notifications to the meter whose process variable they name.
    void registerAlarmCallback();
    int fanOutAlarm(lum::ProcessVarHandle pv, int channel, int code, double value, bool alarm);

private:
    GaugeKitModule() = default;

    lum::Context m_context;
    QRecursiveMutex m_lock;
    QList<CGAUGEKITCtrl*> m_live;
    CGAUGEKITCtrl* m_current = nullptr;
    int m_windowCounter = 1;
    bool m_libraryStarted = false;
};

} // namespace gaugekit

#include "GaugeKitModule.h"

#include "CGAUGEKITCtrl.h"
#include "MeterModel.h"
#include "MeterPageSite.h"

#include <lum/LumBase.h>
#include <lum/LumRun.h>

#include <QMutexLocker>

namespace gaugekit {

GaugeKitModule& GaugeKitModule::instance() {
    static GaugeKitModule module;
    return module;
}

void GaugeKitModule::add(CGAUGEKITCtrl* control) {
    QMutexLocker locker(&m_lock);
    m_live.append(control);
    m_current = control;
}

void GaugeKitModule::remove(CGAUGEKITCtrl* control) {
    QMutexLocker locker(&m_lock);
    m_live.removeAll(control);
    if (m_current == control)
        m_current = m_live.isEmpty() ? nullptr : m_live.last();
}

QList<CGAUGEKITCtrl*> GaugeKitModule::liveControls() {
    QMutexLocker locker(&m_lock);
    return m_live;
}

CGAUGEKITCtrl* GaugeKitModule::current() {
    QMutexLocker locker(&m_lock);
    return m_current;
}

void GaugeKitModule::setCurrent(CGAUGEKITCtrl* control) {
    QMutexLocker locker(&m_lock);
    if (m_live.contains(control))
        m_current = control;
}

int GaugeKitModule::nextWindowNumber() {
    QMutexLocker locker(&m_lock);
    return m_windowCounter++;
}

bool GaugeKitModule::ensureLibraryStarted() {
    QMutexLocker locker(&m_lock);
    if (m_libraryStarted)
        return true;
    lum::LrSelectContext(&m_context);
    const auto onPage = [](void* owner, lum::PageHandle page) {
        static_cast<MeterPageSite*>(owner)->onPageFirstPaint(page);
    };
    const auto onPlot = [](void* owner, lum::PlotHandle plot, lum::DcHandle dc) {
        static_cast<MeterModel*>(owner)->buildMeter(plot, dc);
    };
    if (lum::failed(lum::LbInitialize(&m_context, onPage, onPlot, lum::kInitFlags))) {
        lum::LbCleanupAfterError();
        return false;
    }
    m_libraryStarted = true;
    return true;
}

void GaugeKitModule::registerAlarmCallback() {
    lum::LrSetAlarmCallback(
        [this](lum::ProcessVarHandle pv, int channel, int code, double value, bool alarm) {
            return fanOutAlarm(pv, channel, code, value, alarm);
        });
}

int GaugeKitModule::fanOutAlarm(lum::ProcessVarHandle pv, int channel, int code, double value,
                                bool alarm) {
    QMutexLocker locker(&m_lock);
    const qsizetype count = m_live.size();
    // A handler that destroys a meter shortens the list; never index past its end.
    for (qsizetype i = 0; i < count && i < m_live.size(); ++i) {
        CGAUGEKITCtrl* control = m_live.at(i);
        if (control->pageSite().model().processVar() == pv)
            control->fireAlarmEvent(channel, code, value, alarm);
    }
    return 0;
}

} // namespace gaugekit

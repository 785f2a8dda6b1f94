#include "forms/Scheduler.h"

#include "forms/QtScheduler.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>

namespace forms {

namespace {
Scheduler* g_current = nullptr;
} // namespace

Scheduler::~Scheduler() = default;

Scheduler& Scheduler::instance() {
    if (g_current) {
        return *g_current;
    }
    // The Qt scheduler belongs to the application object, so that its timers go with the event
    // loop they were registered on.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        static QPointer<QtScheduler> withApp;
        if (!withApp) {
            withApp = new QtScheduler();
            withApp->setParent(app);
        }
        return *withApp;
    }
    static std::unique_ptr<QtScheduler> withoutApp;
    if (!withoutApp) {
        withoutApp = std::make_unique<QtScheduler>();
    }
    return *withoutApp;
}

void Scheduler::setInstance(Scheduler* scheduler) {
    g_current = scheduler;
}

void doEvents() {
    Scheduler::instance().doEvents();
}

} // namespace forms

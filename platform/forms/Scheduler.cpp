#include "Scheduler.h"

#include "QtScheduler.h"

namespace forms {

namespace {
Scheduler* g_current = nullptr;
} // namespace

Scheduler::~Scheduler() = default;

Scheduler& Scheduler::instance() {
    if (g_current) {
        return *g_current;
    }
    static QtScheduler qtScheduler;
    return qtScheduler;
}

void Scheduler::setInstance(Scheduler* scheduler) {
    g_current = scheduler;
}

void doEvents() {
    Scheduler::instance().doEvents();
}

} // namespace forms

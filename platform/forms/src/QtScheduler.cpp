#include "forms/QtScheduler.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimerEvent>

namespace forms {

QtScheduler::QtScheduler() {
    m_clock.start();
}

QtScheduler::~QtScheduler() = default;

qint64 QtScheduler::nowMs() const {
    return m_clock.elapsed();
}

Scheduler::Id QtScheduler::startTimer(int intervalMs, Callback callback) {
    return add(intervalMs, false, std::move(callback));
}

Scheduler::Id QtScheduler::post(Callback callback, int delayMs) {
    return add(delayMs, true, std::move(callback));
}

Scheduler::Id QtScheduler::add(int intervalMs, bool singleShot, Callback callback) {
    const int qtId = QObject::startTimer(qMax(0, intervalMs), Qt::PreciseTimer);
    if (qtId == 0) {
        return 0;
    }
    const Id id = m_nextId++;
    m_byQtId.emplace(qtId, Entry{id, singleShot, std::move(callback)});
    m_qtIds.emplace(id, qtId);
    return id;
}

void QtScheduler::cancel(Id id) {
    const auto it = m_qtIds.find(id);
    if (it == m_qtIds.end()) {
        return;
    }
    killTimer(it->second);
    m_byQtId.erase(it->second);
    m_qtIds.erase(it);
}

void QtScheduler::timerEvent(QTimerEvent* event) {
    const auto it = m_byQtId.find(event->timerId());
    if (it == m_byQtId.end()) {
        return;
    }
    // Copy: the callback may cancel or restart its own timer.
    const Callback run = it->second.callback;
    if (it->second.singleShot) {
        cancel(it->second.id);
    }
    run();
}

void QtScheduler::doEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace forms

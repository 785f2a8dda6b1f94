#pragma once

#include "Scheduler.h"

#include <QElapsedTimer>
#include <QObject>

#include <map>

namespace forms {

// Scheduler on Qt's event loop of the thread that created it. doEvents() processes pending
// events and, when there are none, sleeps until the next one arrives, so a waiting loop does
// not spin the processor.
class QtScheduler final : public QObject, public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    qint64 nowMs() const override;
    Id startTimer(int intervalMs, Callback callback) override;
    Id post(Callback callback, int delayMs = 0) override;
    void cancel(Id id) override;
    void doEvents() override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Entry {
        Id id;
        bool singleShot;
        Callback callback;
    };
    Id add(int intervalMs, bool singleShot, Callback callback);

    QElapsedTimer m_clock;
    Id m_nextId = 1;
    std::map<int, Entry> m_byQtId;
    std::map<Id, int> m_qtIds;
};

} // namespace forms

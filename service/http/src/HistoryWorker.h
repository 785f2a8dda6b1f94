#pragma once

#include "StationHistories.h"

#include <QObject>

#include <functional>
#include <memory>

namespace http {

// Runs the archive's queries on a thread of their own, which owns every connection to the
// archive (a Qt SQL connection belongs to the thread that opened it): a query that waits on a
// stalled database server or a locked file holds up only the queries behind it, never the tick,
// the live feed or the routes answered from memory.
//
// A job runs on the worker with the histories and returns what to do with its result; that runs
// back on the thread that made the worker. At most `maxWaiting` jobs are queued or running; one
// more is refused at once.
class HistoryWorker {
public:
    using Then = std::function<void()>;
    using Job = std::function<Then(StationHistories&)>;

    enum class Queued { Yes, Busy, Stopped };

    HistoryWorker(QString location, QString ownStation, int maxWaiting);
    ~HistoryWorker();
    HistoryWorker(const HistoryWorker&) = delete;
    HistoryWorker& operator=(const HistoryWorker&) = delete;

    void start();
    // Drops the queued jobs and waits up to `waitMs` for the running one. A job still held by
    // the archive after that is abandoned: its thread ends on its own once the query returns,
    // and its result goes nowhere. True when the thread ended in time.
    bool stop(int waitMs);

    Queued post(Job job);
    // Jobs queued or running.
    int waiting() const;

private:
    struct State;
    static void run(const std::shared_ptr<State>& state);

    QString m_location;
    QString m_ownStation;
    int m_maxWaiting;
    std::unique_ptr<QObject> m_home; // where the results are delivered
    std::shared_ptr<State> m_state;
};

} // namespace http

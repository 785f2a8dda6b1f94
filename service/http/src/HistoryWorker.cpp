#include "HistoryWorker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace http {

// Shared by the worker's thread and its owner, so an abandoned thread still has it to finish on.
struct HistoryWorker::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    std::deque<Job> jobs;
    int running = 0;
    bool stopping = false;
    bool finished = false;
    QObject* home = nullptr; // null once the owner is gone
    QString location;
    QString ownStation;
};

HistoryWorker::HistoryWorker(QString location, QString ownStation, int maxWaiting)
    : m_location(std::move(location))
    , m_ownStation(std::move(ownStation))
    , m_maxWaiting(std::max(1, maxWaiting))
    , m_home(std::make_unique<QObject>()) {}

HistoryWorker::~HistoryWorker() {
    stop(0);
}

void HistoryWorker::start() {
    if (m_state) {
        return;
    }
    m_state = std::make_shared<State>();
    m_state->home = m_home.get();
    m_state->location = m_location;
    m_state->ownStation = m_ownStation;
    std::thread(run, m_state).detach(); // its end is awaited through State::ended
}

bool HistoryWorker::stop(int waitMs) {
    if (!m_state) {
        return true;
    }
    const auto state = std::move(m_state);
    std::unique_lock lock(state->mutex);
    state->stopping = true;
    state->jobs.clear();
    state->home = nullptr;
    state->wake.notify_all();
    const bool ended = state->ended.wait_for(lock, std::chrono::milliseconds(waitMs),
                                             [&] { return state->finished; });
    lock.unlock();
    // Results already posted home are dropped with the queue of the object that was to take
    // them.
    m_home = std::make_unique<QObject>();
    return ended;
}

HistoryWorker::Queued HistoryWorker::post(Job job) {
    if (!m_state) {
        return Queued::Stopped;
    }
    std::lock_guard lock(m_state->mutex);
    if (static_cast<int>(m_state->jobs.size()) + m_state->running >= m_maxWaiting) {
        return Queued::Busy;
    }
    m_state->jobs.push_back(std::move(job));
    m_state->wake.notify_one();
    return Queued::Yes;
}

int HistoryWorker::waiting() const {
    if (!m_state) {
        return 0;
    }
    std::lock_guard lock(m_state->mutex);
    return static_cast<int>(m_state->jobs.size()) + m_state->running;
}

void HistoryWorker::run(const std::shared_ptr<State>& state) {
    {
        // The connections open, live and close on this thread.
        StationHistories histories(state->location, state->ownStation);
        std::unique_lock lock(state->mutex);
        while (true) {
            state->wake.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
            if (state->stopping) {
                break;
            }
            Job job = std::move(state->jobs.front());
            state->jobs.pop_front();
            ++state->running;
            lock.unlock();
            Then then = job(histories);
            lock.lock();
            --state->running;
            // Posted under the lock, so the owner cannot go between the check and the post.
            if (then && state->home) {
                QMetaObject::invokeMethod(state->home, std::move(then), Qt::QueuedConnection);
            }
        }
    }
    std::lock_guard lock(state->mutex);
    state->finished = true;
    state->ended.notify_all();
}

} // namespace http

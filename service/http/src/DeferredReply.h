#pragma once

#include "HistoryWorker.h"
#include "Reply.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

class QTcpSocket;

namespace http {

// What a query on the worker answers: a status and its JSON body.
struct HistoryAnswer {
    Status status = Status::Ok;
    QJsonObject body;
};

// A request whose answer comes from the archive's worker. Rides on the connection's socket (so
// it goes when the client does), holds the reply until the answer arrives, and answers 504 if
// it has not within the time limit. The connection's request deadline rests meanwhile and starts
// again once the answer is out.
class DeferredReply : public QObject {
    Q_OBJECT
public:
    using Query = std::function<HistoryAnswer(StationHistories&)>;
    using Deliver = std::function<void(DeferredReply&, const HistoryAnswer&)>;

    // Hands `query` to the worker, or answers 503 at once when it is busy or stopped. Its answer
    // goes to the client, or to `deliver` when given. A query that only gets its turn after the
    // time limit is skipped.
    static void run(HistoryWorker& worker, QTcpSocket* socket, Reply&& reply, int timeLimitMs,
                    Query query, Deliver deliver = {});

    DeferredReply(QTcpSocket* socket, Reply&& reply, int timeLimitMs);

    Reply& reply() { return m_reply; }
    QTcpSocket* socket() const;
    const std::shared_ptr<std::atomic_bool>& late() const { return m_late; }
    // Answers, and lets the connection take its next request.
    void answer(const HistoryAnswer& a);
    // Answers 503: the worker takes no more.
    void refuse(HistoryWorker::Queued why);
    // Stops the time limit without answering (the reply goes on in other hands).
    void release();

    static constexpr int kRetryAfterS = 5;

private:
    void expire();

    Reply m_reply;
    QTimer m_limit;
    std::shared_ptr<std::atomic_bool> m_late = std::make_shared<std::atomic_bool>(false);
    bool m_done = false;
};

} // namespace http

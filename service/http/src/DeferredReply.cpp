#include "DeferredReply.h"

#include "ConnectionGate.h"

#include <QPointer>
#include <QTcpSocket>

namespace http {

void DeferredReply::run(HistoryWorker& worker, QTcpSocket* socket, Reply&& reply, int timeLimitMs,
                        Query query, Deliver deliver) {
    auto* pending = new DeferredReply(socket, std::move(reply), timeLimitMs);
    QPointer<DeferredReply> to(pending);
    const auto late = pending->late();
    const auto queued =
        worker.post([to, late, query = std::move(query), deliver = std::move(deliver)](
                        StationHistories& histories) -> HistoryWorker::Then {
            if (*late) {
                return {};
            }
            return [to, late, deliver, answer = query(histories)] {
                if (!to || *late) {
                    return;
                }
                if (deliver) {
                    deliver(*to, answer);
                } else {
                    to->answer(answer);
                }
            };
        });
    if (queued != HistoryWorker::Queued::Yes) {
        pending->refuse(queued);
    }
}

DeferredReply::DeferredReply(QTcpSocket* socket, Reply&& reply, int timeLimitMs)
    : QObject(socket)
    , m_reply(std::move(reply)) {
    ConnectionGate::awaiting(socket);
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &DeferredReply::expire);
    m_limit.start(timeLimitMs);
}

QTcpSocket* DeferredReply::socket() const {
    return static_cast<QTcpSocket*>(parent());
}

void DeferredReply::answer(const HistoryAnswer& a) {
    release();
    m_reply.json(a.status, a.body);
}

void DeferredReply::release() {
    if (m_done) {
        return;
    }
    m_done = true;
    *m_late = true;
    m_limit.stop();
    ConnectionGate::requestHandled(socket());
    deleteLater();
}

void DeferredReply::refuse(HistoryWorker::Queued why) {
    release();
    m_reply.error(Status::ServiceUnavailable,
                  why == HistoryWorker::Queued::Busy
                      ? QStringLiteral("too many archive queries waiting; try again shortly")
                      : QStringLiteral("the server is shutting down"),
                  {{"Retry-After", QByteArray::number(kRetryAfterS)}});
}

void DeferredReply::expire() {
    const int seconds = (m_limit.interval() + 999) / 1000;
    release();
    m_reply.error(Status::GatewayTimeout,
                  QStringLiteral("the archive did not answer within %1 s").arg(seconds),
                  {{"Retry-After", QByteArray::number(kRetryAfterS)}});
}

} // namespace http

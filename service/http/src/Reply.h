#pragma once

#include <QByteArray>
#include <QHttpServerResponder>
#include <QJsonObject>
#include <QList>
#include <QPair>

namespace http {

using Status = QHttpServerResponder::StatusCode;
using HeaderPairs = QList<QPair<QByteArray, QByteArray>>;

// Writes one whole answer: the status, the headers every answer carries (content security
// policy, nosniff, no framing, no referrer, a cache rule), the given ones, the length, and the
// body unless the request was HEAD.
class Reply {
public:
    enum class Cache {
        None,       // data that changes with every reading: never stored
        Revalidate, // the page's files and pictures: stored, asked again with their ETag
    };

    Reply(QHttpServerResponder&& responder, bool head)
        : m_responder(std::move(responder))
        , m_head(head) {}

    void send(Status status, const QByteArray& contentType, const QByteArray& body,
              const HeaderPairs& extra = {}, Cache cache = Cache::None);
    void json(Status status, const QJsonObject& body, const HeaderPairs& extra = {});
    // {"error": message}
    void error(Status status, const QString& message, const HeaderPairs& extra = {});
    // Status line and headers only, for a body that follows in chunks.
    void startChunked(const QByteArray& contentType, const HeaderPairs& extra);

    QHttpServerResponder& responder() { return m_responder; }

private:
    void writeCommonHeaders(Cache cache);

    QHttpServerResponder m_responder;
    bool m_head;
};

} // namespace http

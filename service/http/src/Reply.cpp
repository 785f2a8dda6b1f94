#include "Reply.h"

#include <QJsonDocument>

namespace http {

namespace {

// The page loads only its own files; styles and scripts come from the program, never inline.
constexpr const char* kPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data: blob:; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

} // namespace

void Reply::writeCommonHeaders(Cache cache) {
    m_responder.writeHeader("Content-Security-Policy", kPolicy);
    m_responder.writeHeader("X-Content-Type-Options", "nosniff");
    m_responder.writeHeader("X-Frame-Options", "DENY");
    m_responder.writeHeader("Referrer-Policy", "no-referrer");
    m_responder.writeHeader("Cache-Control",
                            cache == Cache::None ? "no-store" : "no-cache, private");
}

void Reply::send(Status status, const QByteArray& contentType, const QByteArray& body,
                 const HeaderPairs& extra, Cache cache) {
    m_responder.writeStatusLine(status);
    writeCommonHeaders(cache);
    if (!contentType.isEmpty()) {
        m_responder.writeHeader("Content-Type", contentType);
    }
    for (const auto& [name, value] : extra) {
        m_responder.writeHeader(name, value);
    }
    m_responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    m_responder.writeBody(m_head ? QByteArray() : body);
}

void Reply::json(Status status, const QJsonObject& body, const HeaderPairs& extra) {
    send(status, "application/json; charset=utf-8",
         QJsonDocument(body).toJson(QJsonDocument::Compact), extra);
}

void Reply::error(Status status, const QString& message, const HeaderPairs& extra) {
    json(status, {{QStringLiteral("error"), message}}, extra);
}

void Reply::startChunked(const QByteArray& contentType, const HeaderPairs& extra) {
    m_responder.writeStatusLine(Status::Ok);
    writeCommonHeaders(Cache::None);
    m_responder.writeHeader("Content-Type", contentType);
    for (const auto& [name, value] : extra) {
        m_responder.writeHeader(name, value);
    }
    m_responder.writeHeader("Transfer-Encoding", "chunked");
    m_responder.writeHeader("Connection", "close");
    m_responder.writeBody(QByteArray());
}

} // namespace http

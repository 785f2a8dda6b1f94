#pragma once

#include <QHostAddress>
#include <QString>
#include <QTimeZone>

namespace http {

// How the station's web server listens and whom it answers. StationService fills it from the
// station's configuration; tests fill it directly.
struct WebOptions {
    static constexpr quint16 kDefaultPort = 8470;

    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = kDefaultPort; // 0: any free port (tests)
    // When set, every request must carry it (Bearer header, the page's cookie, or once as
    // ?token= on the page). Never logged.
    QString token;
    // Answers without a token on a non-loopback address (a trusted network).
    bool allowAnonymous = false;

    QString station; // the station's name, shown on the page and in /api/current
    // The readings archive read for the history, as the service's `archive` key gives it (a
    // file or a postgresql:// URL); empty: none.
    QString archivePath;
    QTimeZone zone = QTimeZone::systemTimeZone(); // local days and times with their offset

    // Bounds on what a client may cost.
    int maxConnections = 256;         // open connections, HTTP and WebSocket together
    qint64 maxRequestBytes = 16384;   // request line, headers and body of one request
    int requestTimeoutMs = 10000;     // to send a whole request; a stalled reply is cut too
    qint64 maxBacklogBytes = 1 << 20; // output a client has not read yet before it is dropped
    int staleAfterMs = 60000;         // /api/health turns 503 after this long without a reading
    // The archive is read on a thread of its own: this many queries may wait for it (one more
    // is refused with 503), each answered 504 when the archive has not answered it in time.
    int maxHistoryQueries = 16;
    int historyTimeoutMs = 8000;
    // How long stopping waits for a query the archive still holds before leaving it behind.
    int historyStopWaitMs = 2000;

    // Reads the `listen` key: "host:port", "[v6]:port", a bare host (default port) or "off".
    // Returns the problem, or an empty string; `enabled` is false for "off".
    static QString parseListen(const QString& text, WebOptions& out, bool& enabled);

    // Why the server must not start with these options (a non-loopback address without a token
    // and without allowAnonymous); empty when it may.
    QString refusal() const;
};

} // namespace http

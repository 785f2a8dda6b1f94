// A web server on 127.0.0.1 (a free port) over an archive in a temporary folder, and a
// blocking HTTP client on Qt's network classes whose every wait is bounded.
#pragma once

#include "http/WebServer.h"

#include "archive/StoreFactory.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <vector>

namespace webtest {

// 2026-03-01T00:00:00Z, a fixed "now" for the virtual clock.
constexpr qint64 kBaseMs = 1772323200000;

struct Response {
    int status = 0; // 0: no answer in time
    QByteArray body;
    QList<QNetworkReply::RawHeaderPair> headers;

    QByteArray header(const QByteArray& name) const {
        for (const auto& [key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0) {
                return value;
            }
        }
        return {};
    }
};

// Keeps no cookies: each request carries only the headers the test gives it.
class NoCookies : public QNetworkCookieJar {
public:
    bool setCookiesFromUrl(const QList<QNetworkCookie>&, const QUrl&) override { return false; }
};

class Client {
public:
    Client() {
        m_nam.setProxy(QNetworkProxy::NoProxy);
        m_nam.setCookieJar(new NoCookies);
    }

    Response request(const QByteArray& verb, const QUrl& url,
                     const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        QNetworkRequest r(url);
        r.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
        for (const auto& [name, value] : headers) {
            r.setRawHeader(name, value);
        }
        std::unique_ptr<QNetworkReply> reply(m_nam.sendCustomRequest(r, verb));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (!reply->isFinished()) {
            loop.exec();
        }
        Response out;
        if (!reply->isFinished()) {
            reply->abort();
            return out;
        }
        out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        out.body = reply->readAll();
        out.headers = reply->rawHeaderPairs();
        return out;
    }

private:
    QNetworkAccessManager m_nam;
};

struct Rig {
    QTemporaryDir dir;
    http::WebOptions options;
    std::unique_ptr<http::WebServer> server;
    qint64 now = kBaseMs;
    Client client;

    Rig() {
        options.port = 0;
        options.station = QStringLiteral("Cobertizo");
        options.archivePath = dir.filePath(QStringLiteral("archive.sqlite"));
        options.zone = QTimeZone("Europe/Madrid");
    }

    // Writes `entries` to the archive (creating it) as `station` (by default the server's own;
    // a file holds one station whatever the name).
    bool archive(const std::vector<archive::Entry>& entries, const QString& station = {}) {
        archive::ArchiveLocation where = archive::ArchiveLocation::parse(options.archivePath);
        where.station = station.isEmpty() ? options.station : station;
        const auto store = archive::makeStore(where);
        return com::succeeded(store->open(archive::ArchiveStore::Mode::Write)) &&
               com::succeeded(store->append(entries));
    }

    bool start() {
        server = std::make_unique<http::WebServer>(options);
        server->setClock([this] { return now; });
        return server->start();
    }

    QUrl url(const QString& pathAndQuery) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server->port()).arg(pathAndQuery));
    }

    Response get(const QString& pathAndQuery,
                 const QList<QPair<QByteArray, QByteArray>>& headers = {}) {
        return client.request("GET", url(pathAndQuery), headers);
    }
};

} // namespace webtest

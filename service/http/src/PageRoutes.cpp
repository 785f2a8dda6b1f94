#include "PageRoutes.h"

#include "LiveState.h"

#include <QCryptographicHash>
#include <QFile>

namespace http {

PageRoutes::PageRoutes(const WebOptions&) {
    const QByteArray js = "text/javascript; charset=utf-8";
    const QByteArray css = "text/css; charset=utf-8";
    m_files.insert(QStringLiteral("/"),
                   load(QStringLiteral("index.html"), "text/html; charset=utf-8"));
    m_files.insert(QStringLiteral("/app.js"), load(QStringLiteral("app.js"), js));
    m_files.insert(QStringLiteral("/style.css"), load(QStringLiteral("style.css"), css));
    m_files.insert(QStringLiteral("/uplot.js"), load(QStringLiteral("uPlot.iife.min.js"), js));
    m_files.insert(QStringLiteral("/uplot.css"), load(QStringLiteral("uPlot.min.css"), css));
}

PageRoutes::File PageRoutes::load(const QString& resource, const QByteArray& contentType) {
    QFile f(QStringLiteral(":/brisora/web/") + resource);
    File file{contentType, {}, {}};
    if (f.open(QIODevice::ReadOnly)) {
        file.body = f.readAll();
    }
    file.etag = '"' + QCryptographicHash::hash(file.body, QCryptographicHash::Sha1).toHex() + '"';
    return file;
}

void PageRoutes::show(const archive::Entry& e) {
    if (e.isReading()) {
        m_meters.show(MeterPictures::Humidity, e.humidityPct);
        m_meters.show(MeterPictures::Pressure, e.pressureKpa);
    }
}

bool PageRoutes::answer(const QString& path, const QHttpServerRequest& request, const LiveState&,
                        Reply& reply) {
    if (const auto it = m_files.constFind(path); it != m_files.cend()) {
        sendTagged(request, it->contentType, it->body, it->etag, reply);
        return true;
    }
    const bool humidity = path == u"/meter/humidity.svg";
    if (!humidity && path != u"/meter/pressure.svg") {
        return false;
    }
    const auto& picture =
        m_meters.picture(humidity ? MeterPictures::Humidity : MeterPictures::Pressure);
    if (picture.svg.isEmpty()) {
        reply.error(Status::ServiceUnavailable, QStringLiteral("the meters cannot be drawn here"));
        return true;
    }
    sendTagged(request, "image/svg+xml", picture.svg, picture.etag, reply);
    return true;
}

void PageRoutes::sendTagged(const QHttpServerRequest& request, const QByteArray& contentType,
                            const QByteArray& body, const QByteArray& etag, Reply& reply) {
    QByteArray asked = request.value("if-none-match");
    if (asked.replace(' ', QByteArray()).split(',').contains(etag)) {
        reply.send(Status::NotModified, {}, {}, {{"ETag", etag}}, Reply::Cache::Revalidate);
        return;
    }
    reply.send(Status::Ok, contentType, body, {{"ETag", etag}}, Reply::Cache::Revalidate);
}

QByteArray PageRoutes::tokenPage() {
    return "<!DOCTYPE html><html lang=\"es\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>Brisora</title></head><body><h1>Brisora</h1>"
           "<p>Esta estaci&oacute;n pide una clave. Abra la direcci&oacute;n con "
           "<code>?token=</code> y la clave una vez; el navegador la recordar&aacute;.</p>"
           "</body></html>";
}

} // namespace http

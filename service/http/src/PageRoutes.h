#pragma once

#include "MeterPictures.h"
#include "Reply.h"

#include "archive/ArchiveEntry.h"
#include "http/WebOptions.h"

#include <QHttpServerRequest>
#include <QMap>

namespace http {

class LiveState;

// The page and its files, served only from the program's resources by exact name, and the
// meters' pictures. Each answer carries an ETag; a request that names it gets 304.
class PageRoutes {
public:
    explicit PageRoutes(const WebOptions& options);

    void show(const archive::Entry& e);
    // False when `path` names nothing here.
    bool answer(const QString& path, const QHttpServerRequest& request, const LiveState& live,
                Reply& reply);
    // The page shown without the token.
    static QByteArray tokenPage();

private:
    struct File {
        QByteArray contentType;
        QByteArray body;
        QByteArray etag;
    };
    static File load(const QString& resource, const QByteArray& contentType);
    void sendTagged(const QHttpServerRequest& request, const QByteArray& contentType,
                    const QByteArray& body, const QByteArray& etag, Reply& reply);

    QMap<QString, File> m_files;
    MeterPictures m_meters;
};

} // namespace http

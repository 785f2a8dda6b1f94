#pragma once

#include "http/WebOptions.h"

#include "archive/ArchiveEntry.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace http {

class WebServerPrivate;

// The station on the web: the page at /, the JSON API under /api/, the CSV export and the live
// WebSocket feed at /api/live, served by Qt's HTTP server from the program's resources. Fed with
// every tick as the station archives it and with the port's state; reads the history from the
// archive file. Read-only: nothing a client sends changes the station.
//
// Lives in one thread; a slow or hostile client costs it a bounded amount of memory and never
// blocks it.
class WebServer : public QObject {
    Q_OBJECT
public:
    explicit WebServer(WebOptions options, QObject* parent = nullptr);
    ~WebServer() override;

    // Starts listening. False, with errorString(), when the options are refused (see
    // WebOptions::refusal) or the address cannot be had.
    bool start();
    // Closes the live feed's clients and stops listening.
    void stop();
    bool isListening() const;
    quint16 port() const;
    QString errorString() const;

    // For tests: where "now" comes from (UTC milliseconds).
    void setClock(std::function<qint64()> nowMs);

    int openConnections() const;
    int liveClients() const;

public slots:
    void addTick(const archive::Entry& entry);
    void setPortState(const QString& device, const QString& state);

private:
    std::unique_ptr<WebServerPrivate> d;
};

} // namespace http

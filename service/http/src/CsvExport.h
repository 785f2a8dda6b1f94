#pragma once

#include "HistoryStore.h"

#include "archive/ArchiveCsv.h"

#include <QObject>
#include <QPointer>

class QTcpSocket;

namespace http {

// Sends the readings of a range as CSV (the columns of brisora-archive export) in chunks of a
// few thousand rows, each read from the archive only when the client has taken the last: a
// year's export holds little memory, and a slow reader holds nobody else up. Lives on the
// connection's socket; a failure half-way ends the stream without its last chunk, so the
// client sees it cut short rather than complete.
class CsvExport : public QObject {
    Q_OBJECT
public:
    static constexpr int kBatchRows = 2000;

    CsvExport(QTcpSocket* socket, std::shared_ptr<HistoryStore> store, archive::ArchiveCsv csv,
              qint64 fromMs, qint64 toMs, qint64 backlogBytes);

    void start();

private:
    void pump();
    bool nextBatch(QByteArray& rows);
    void writeChunk(const QByteArray& data);
    void finish(bool complete);

    QPointer<QTcpSocket> m_socket;
    std::shared_ptr<HistoryStore> m_store;
    archive::ArchiveCsv m_csv;
    qint64 m_fromMs;
    qint64 m_toMs;
    qint64 m_backlogBytes;
    int m_skipAtFrom = 0; // rows stamped m_fromMs already sent
    bool m_done = false;
};

} // namespace http

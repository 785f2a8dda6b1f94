#pragma once

#include "HistoryWorker.h"

#include "archive/ArchiveCsv.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <memory>

class QTcpSocket;

namespace http {

// Sends the readings of a range as CSV (the columns of brisora-archive export) in chunks of a
// few thousand rows, each read by the archive's worker only when the client has taken the last:
// a year's export holds little memory, and a slow reader holds nobody else up. Lives on the
// connection's socket; a failure half-way, or a chunk the archive does not give within the time
// limit, ends the stream without its last chunk, so the client sees it cut short rather than
// complete.
class CsvExport : public QObject {
    Q_OBJECT
public:
    static constexpr int kBatchRows = 2000;
    // How soon a chunk is asked for again while the worker has no room.
    static constexpr int kRetryMs = 100;

    struct Job {
        QString station;
        archive::ArchiveCsv csv;
        qint64 fromMs = 0;
        qint64 toMs = 0;
        qint64 backlogBytes = 0;
        int timeLimitMs = 0; // for each chunk
    };

    CsvExport(QTcpSocket* socket, HistoryWorker& worker, Job job);

    void start();

private:
    // Where the next chunk starts: the time of the last row sent and how many rows of that
    // millisecond went out (ticks can share a millisecond after the clock was set back).
    struct Cursor {
        qint64 fromMs = 0;
        int skipAtFrom = 0;
    };
    struct Batch {
        bool ok = false;
        QByteArray rows;
        Cursor next;
    };

    void pump();
    void ask();
    static Batch read(StationHistories& histories, const Job& job, Cursor at);
    void take(const Batch& batch);
    void writeChunk(const QByteArray& data);
    void finish(bool complete);

    QPointer<QTcpSocket> m_socket;
    HistoryWorker& m_worker;
    Job m_job;
    Cursor m_cursor;
    QTimer m_limit;
    std::shared_ptr<std::atomic_bool> m_late;
    bool m_asking = false;
    bool m_done = false;
};

} // namespace http

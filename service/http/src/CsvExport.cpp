#include "CsvExport.h"

#include <QTcpSocket>

namespace http {

CsvExport::CsvExport(QTcpSocket* socket, HistoryWorker& worker, Job job)
    : QObject(socket)
    , m_socket(socket)
    , m_worker(worker)
    , m_job(std::move(job))
    , m_cursor{m_job.fromMs, 0} {
    connect(socket, &QTcpSocket::bytesWritten, this, &CsvExport::pump);
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] { finish(false); });
}

void CsvExport::start() {
    writeChunk((archive::ArchiveCsv::readingHeader() + u'\n').toUtf8());
    pump();
}

void CsvExport::pump() {
    if (!m_done && !m_asking && m_socket && m_socket->bytesToWrite() < m_job.backlogBytes) {
        m_asking = true;
        m_limit.start(m_job.timeLimitMs);
        ask();
    }
}

void CsvExport::ask() {
    if (m_done) {
        return;
    }
    m_late = std::make_shared<std::atomic_bool>(false);
    QPointer<CsvExport> to(this);
    const auto queued = m_worker.post([to, late = m_late, job = m_job,
                                       at = m_cursor](StationHistories& h) -> HistoryWorker::Then {
        if (*late) {
            return {};
        }
        return [to, late, batch = read(h, job, at)] {
            if (to && !*late) {
                to->take(batch);
            }
        };
    });
    if (queued == HistoryWorker::Queued::Busy) {
        QTimer::singleShot(kRetryMs, this, &CsvExport::ask);
    } else if (queued == HistoryWorker::Queued::Stopped) {
        finish(false);
    }
}

CsvExport::Batch CsvExport::read(StationHistories& histories, const Job& job, Cursor at) {
    Batch batch;
    std::shared_ptr<HistoryStore> store;
    if (histories.find(job.station, store) != StationHistories::Found::Yes) {
        return batch;
    }
    int sent = 0;
    int skip = at.skipAtFrom;
    qint64 last = at.fromMs;
    int atLast = 0;
    QString text;
    const com::HRESULT hr = store->readings(at.fromMs, job.toMs, [&](const archive::Entry& e) {
        if (skip > 0 && e.timeMs == at.fromMs) {
            --skip;
            return true;
        }
        text += job.csv.readingRow(e);
        text += u'\n';
        ++sent;
        if (e.timeMs == last) {
            ++atLast;
        } else {
            last = e.timeMs;
            atLast = 1;
        }
        return sent < kBatchRows;
    });
    batch.ok = com::succeeded(hr);
    batch.next = {last, last == at.fromMs ? at.skipAtFrom + atLast : atLast};
    batch.rows = text.toUtf8();
    return batch;
}

void CsvExport::take(const Batch& batch) {
    m_asking = false;
    m_limit.stop();
    if (!batch.ok) {
        finish(false);
        return;
    }
    if (batch.rows.isEmpty()) {
        finish(true);
        return;
    }
    m_cursor = batch.next;
    writeChunk(batch.rows);
    pump();
}

void CsvExport::writeChunk(const QByteArray& data) {
    m_socket->write(QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n");
}

void CsvExport::finish(bool complete) {
    if (m_done) {
        return;
    }
    m_done = true;
    if (m_late) {
        *m_late = true;
    }
    m_limit.stop();
    if (m_socket) {
        if (complete) {
            m_socket->write("0\r\n\r\n");
        }
        m_socket->disconnectFromHost();
    }
    deleteLater();
}

} // namespace http

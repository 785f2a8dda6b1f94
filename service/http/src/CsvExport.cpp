#include "CsvExport.h"

#include <QTcpSocket>

namespace http {

CsvExport::CsvExport(QTcpSocket* socket, std::shared_ptr<HistoryStore> store,
                     archive::ArchiveCsv csv, qint64 fromMs, qint64 toMs, qint64 backlogBytes)
    : QObject(socket)
    , m_socket(socket)
    , m_store(std::move(store))
    , m_csv(std::move(csv))
    , m_fromMs(fromMs)
    , m_toMs(toMs)
    , m_backlogBytes(backlogBytes) {
    connect(socket, &QTcpSocket::bytesWritten, this, &CsvExport::pump);
}

void CsvExport::start() {
    writeChunk((archive::ArchiveCsv::readingHeader() + u'\n').toUtf8());
    pump();
}

void CsvExport::pump() {
    while (!m_done && m_socket && m_socket->bytesToWrite() < m_backlogBytes) {
        QByteArray rows;
        if (!nextBatch(rows)) {
            return;
        }
        if (rows.isEmpty()) {
            finish(true);
            return;
        }
        writeChunk(rows);
    }
}

// The next rows after those sent; the cursor is the time of the last row sent and how many rows
// of that millisecond went out (ticks can share a millisecond after the clock was set back).
bool CsvExport::nextBatch(QByteArray& rows) {
    int sent = 0;
    int skip = m_skipAtFrom;
    qint64 last = m_fromMs;
    int atLast = 0;
    QString text;
    const com::HRESULT hr = m_store->readings(m_fromMs, m_toMs, [&](const archive::Entry& e) {
        if (skip > 0 && e.timeMs == m_fromMs) {
            --skip;
            return true;
        }
        text += m_csv.readingRow(e);
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
    if (com::failed(hr)) {
        finish(false);
        return false;
    }
    m_skipAtFrom = last == m_fromMs ? m_skipAtFrom + atLast : atLast;
    m_fromMs = last;
    rows = text.toUtf8();
    return true;
}

void CsvExport::writeChunk(const QByteArray& data) {
    m_socket->write(QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n");
}

void CsvExport::finish(bool complete) {
    m_done = true;
    if (m_socket) {
        if (complete) {
            m_socket->write("0\r\n\r\n");
        }
        m_socket->disconnectFromHost();
    }
    deleteLater();
}

} // namespace http

#include "ArchiveTool.h"

#include "archive/ArchiveCopy.h"
#include "archive/LocalDays.h"
#include "archive/StoreFactory.h"

#include <limits>

using archive::ArchiveReader;
using archive::LocalDay;

ArchiveTool::ArchiveTool(const archive::ArchiveLocation& where, QTimeZone zone, QTextStream& err)
    : m_db(archive::makeStore(where))
    , m_zone(zone)
    , m_csv(zone)
    , m_err(err) {}

int ArchiveTool::open(archive::ArchiveStore::Mode mode) {
    const com::HRESULT hr = m_db->open(mode);
    return com::failed(hr) ? fail(hr) : 0;
}

int ArchiveTool::fail(const archive::ArchiveStore& store, com::HRESULT hr) {
    m_err << store.path() << ": " << archive::describe(hr);
    if (!store.lastError().isEmpty() && store.lastError() != store.path()) {
        m_err << " (" << store.lastError() << ")";
    }
    m_err << "\n";
    m_err.flush();
    return kExitFailure;
}

int ArchiveTool::exportReadings(const Range& range, QTextStream& out) {
    if (const int failure = open()) {
        return failure;
    }
    const qint64 from =
        range.from ? LocalDay::startOf(*range.from, m_zone) : std::numeric_limits<qint64>::min();
    const qint64 to = range.to ? LocalDay::startOf(range.to->addDays(1), m_zone)
                               : std::numeric_limits<qint64>::max();
    out << archive::ArchiveCsv::readingHeader() << "\n";
    const com::HRESULT hr = ArchiveReader(*m_db).readings(from, to, [&](const archive::Entry& e) {
        out << m_csv.readingRow(e) << "\n";
        return out.status() == QTextStream::Ok;
    });
    return com::failed(hr) ? fail(hr) : 0;
}

int ArchiveTool::daily(const Range& range, QTextStream& out) {
    if (const int failure = open()) {
        return failure;
    }
    ArchiveReader reader(*m_db);
    ArchiveReader::Summary whole;
    com::HRESULT hr = reader.firstAndLast(whole);
    out << archive::ArchiveCsv::dailyHeader() << "\n";
    if (com::failed(hr) || whole.count == 0) {
        return com::failed(hr) ? fail(hr) : 0;
    }
    // Only the days the archive covers, however wide the range asked for.
    const QDate first = LocalDay::dateOf(whole.firstMs, m_zone);
    const QDate last = LocalDay::dateOf(whole.lastMs, m_zone);
    std::vector<ArchiveReader::DailyRow> rows;
    hr = reader.daily(range.from ? std::max(*range.from, first) : first,
                      range.to ? std::min(*range.to, last) : last, m_zone, rows);
    for (const auto& row : rows) {
        out << m_csv.dailyRow(row) << "\n";
    }
    return com::failed(hr) ? fail(hr) : 0;
}

int ArchiveTool::summary(QTextStream& out) {
    if (const int failure = open()) {
        return failure;
    }
    ArchiveReader::Summary s;
    const com::HRESULT hr = ArchiveReader(*m_db).summary(60 * 1000, s);
    if (com::failed(hr)) {
        return fail(hr);
    }
    out << "archivo: " << m_db->path() << "\n";
    out << "lecturas: " << s.count << "\n";
    if (s.count > 0) {
        out << "primera: " << m_csv.time(s.firstMs) << "\n";
        out << "última: " << m_csv.time(s.lastMs) << "\n";
    }
    out << "ticks fallidos:";
    for (const auto kind : {archive::EntryKind::Timeout, archive::EntryKind::PortLost,
                            archive::EntryKind::PortCannotOpen, archive::EntryKind::Checksum,
                            archive::EntryKind::Stall}) {
        out << " " << archive::failureKindName(kind) << " " << s.failures[kind];
    }
    out << "\n";
    out << "huecos de más de un minuto: " << s.gaps.size() << "\n";
    for (const auto& gap : s.gaps) {
        out << "  " << m_csv.time(gap.fromMs) << " a " << m_csv.time(gap.toMs) << " ("
            << duration(gap.toMs - gap.fromMs) << ")\n";
    }
    return 0;
}

QString ArchiveTool::duration(qint64 ms) const {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int ArchiveTool::check(QTextStream& out) {
    if (const int failure = open()) {
        return failure;
    }
    QStringList problems;
    const com::HRESULT hr = ArchiveReader(*m_db).check(problems);
    if (com::failed(hr)) {
        return fail(hr);
    }
    if (problems.isEmpty()) {
        out << m_db->path() << ": ok\n";
        return 0;
    }
    for (const QString& p : problems) {
        out << m_db->path() << ": " << p << "\n";
    }
    return kExitFailure;
}

int ArchiveTool::stations(QTextStream& out) {
    if (const int failure = open(archive::ArchiveStore::Mode::List)) {
        return failure;
    }
    std::vector<archive::ArchiveStore::StationInfo> list;
    const com::HRESULT hr = m_db->stations(list);
    if (com::failed(hr)) {
        return fail(hr);
    }
    out << "station,count,first,last\n";
    for (const auto& s : list) {
        out << s.name << "," << s.count << "," << (s.count > 0 ? m_csv.time(s.firstMs) : QString())
            << "," << (s.count > 0 ? m_csv.time(s.lastMs) : QString()) << "\n";
    }
    return 0;
}

int ArchiveTool::copyTo(const archive::ArchiveLocation& destination, QTextStream& out) {
    if (const int failure = open()) {
        return failure;
    }
    archive::ArchiveLocation target = destination;
    if (target.station.isEmpty()) {
        target.station = m_db->station(); // the same name on both sides
    }
    const auto to = archive::makeStore(target);
    com::HRESULT hr = to->open(archive::ArchiveStore::Mode::Write);
    if (com::failed(hr)) {
        return fail(*to, hr);
    }
    archive::ArchiveCopy copy(*m_db, *to);
    archive::ArchiveCopy::Counts counts;
    hr = copy.run(counts);
    if (com::failed(hr)) {
        return copy.failedOnSource() ? fail(hr) : fail(*to, hr);
    }
    out << "copiadas: " << counts.copied << "\n";
    out << "ya estaban: " << counts.present << "\n";
    return 0;
}

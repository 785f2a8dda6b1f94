#include "ArchiveDatabase.h"

#include "ArchiveLocation.h"
#include "ArchiveSchema.h"
#include "ReadingStats.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <array>
#include <map>

namespace archive {

namespace {

const QByteArray kSqliteHeader("SQLite format 3\0", 16);

QString nextConnectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("brisora-archive-%1").arg(counter.fetchAndAddRelaxed(1));
}

// SET clause that keeps the first time of each extreme of one quantity.
QString quarterUpdate(const QString& q) {
    return QStringLiteral(
               "%1_sum = %1_sum + excluded.%1_sum, "
               "%1_min_ms = CASE WHEN excluded.%1_min < %1_min OR (excluded.%1_min = %1_min "
               "AND excluded.%1_min_ms < %1_min_ms) THEN excluded.%1_min_ms ELSE %1_min_ms END, "
               "%1_min = min(%1_min, excluded.%1_min), "
               "%1_max_ms = CASE WHEN excluded.%1_max > %1_max OR (excluded.%1_max = %1_max "
               "AND excluded.%1_max_ms < %1_max_ms) THEN excluded.%1_max_ms ELSE %1_max_ms END, "
               "%1_max = max(%1_max, excluded.%1_max)")
        .arg(q);
}

void bindQuantity(QSqlQuery& query, int first, const QuantityStats& s) {
    query.bindValue(first, s.sum);
    query.bindValue(first + 1, s.min);
    query.bindValue(first + 2, s.minMs);
    query.bindValue(first + 3, s.max);
    query.bindValue(first + 4, s.maxMs);
}

} // namespace

ArchiveDatabase::ArchiveDatabase(QString path, Options options)
    : m_path(std::move(path))
    , m_station(ArchiveLocation::defaultStation())
    , m_options(options)
    , m_connectionName(nextConnectionName()) {}

ArchiveDatabase::~ArchiveDatabase() {
    close();
}

QSqlDatabase ArchiveDatabase::connection() const {
    return QSqlDatabase::database(m_connectionName, false);
}

void ArchiveDatabase::setStation(const QString& name) {
    if (!name.isEmpty()) {
        m_station = name;
    }
}

HRESULT ArchiveDatabase::stations(std::vector<StationInfo>& out) const {
    out.clear();
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("SELECT (SELECT coalesce(sum(count), 0) FROM quarter_hours), "
                                   "(SELECT min(time_ms) FROM readings), "
                                   "(SELECT max(time_ms) FROM readings)")) ||
        !query.next()) {
        return fromSqlError(query.lastError(), STG_E_READFAULT);
    }
    out.push_back({m_station, query.value(0).toLongLong(), query.value(1).toLongLong(),
                   query.value(2).toLongLong()});
    return com::S_OK;
}

HRESULT ArchiveDatabase::integrityProblems(QStringList& problems) const {
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA integrity_check"))) {
        return fromSqlError(query.lastError(), STG_E_READFAULT);
    }
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1StringView("ok")) {
            problems << line;
        }
    }
    return query.lastError().isValid() ? fromSqlError(query.lastError(), STG_E_READFAULT)
                                       : com::S_OK;
}

HRESULT ArchiveDatabase::open(Mode mode) {
    close();
    HRESULT hr = checkHeader(mode);
    if (com::succeeded(hr)) {
        hr = connect(mode);
    }
    int version = 0;
    if (com::succeeded(hr)) {
        hr = checkIdentity(mode, version);
    }
    if (com::succeeded(hr) && mode == Mode::Write) {
        hr = migrate(version);
    }
    if (com::succeeded(hr)) {
        hr = prepareStatements();
    }
    m_open = com::succeeded(hr);
    if (!m_open) {
        close();
    }
    return hr;
}

void ArchiveDatabase::close() {
    m_open = false;
    m_insertReading = QSqlQuery();
    m_insertFailure = QSqlQuery();
    m_insertReadingNext = QSqlQuery();
    m_insertFailureNext = QSqlQuery();
    m_upsertQuarter = QSqlQuery();
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

HRESULT ArchiveDatabase::checkHeader(Mode mode) {
    QFile file(m_path);
    if (!file.exists()) {
        if (mode != Mode::Write) {
            return fail(E_ARCHIVE_MISSING, m_path);
        }
        const QString folder = QFileInfo(m_path).absolutePath();
        return QDir().mkpath(folder) ? com::S_OK : fail(E_ARCHIVE_CANTOPEN, folder);
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(E_ARCHIVE_CANTOPEN, file.errorString());
    }
    const QByteArray head = file.read(kSqliteHeader.size());
    if (file.size() > 0 && head != kSqliteHeader) {
        // Never handed to SQLite, which would take it for a damaged database.
        return fail(E_ARCHIVE_NOTARCHIVE, m_path);
    }
    return com::S_OK;
}

HRESULT ArchiveDatabase::connect(Mode mode) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!db.isValid()) {
        return fail(E_ARCHIVE_CANTOPEN, QStringLiteral("no SQLite driver"));
    }
    db.setDatabaseName(m_path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_options.busyTimeoutMs);
    if (mode != Mode::Write && !QFileInfo(m_path).isWritable()) {
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    }
    db.setConnectOptions(options);
    if (!db.open()) {
        return fail(E_ARCHIVE_CANTOPEN, db.lastError().text());
    }
    if (m_options.maxPageCount > 0) {
        return exec(QStringLiteral("PRAGMA max_page_count = %1").arg(m_options.maxPageCount));
    }
    return com::S_OK;
}

HRESULT ArchiveDatabase::checkIdentity(Mode mode, int& version) {
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id), "
                                   "(SELECT user_version FROM pragma_user_version), "
                                   "(SELECT count(*) FROM sqlite_schema)")) ||
        !query.next()) {
        return failure(query);
    }
    const qint64 applicationId = query.value(0).toLongLong();
    version = query.value(1).toInt();
    const bool blank = applicationId == 0 && version == 0 && query.value(2).toLongLong() == 0;
    if (blank) {
        return mode != Mode::Write ? fail(E_ARCHIVE_EMPTY, m_path) : com::S_OK;
    }
    if (applicationId != schema::kApplicationId) {
        return fail(E_ARCHIVE_NOTARCHIVE, m_path);
    }
    if (version > schema::kVersion) {
        return fail(E_ARCHIVE_NEWERSCHEMA, QStringLiteral("version %1").arg(version));
    }
    if (mode != Mode::Write && version < schema::kOldestReadable) {
        return fail(E_ARCHIVE_OLDERSCHEMA, QStringLiteral("version %1").arg(version));
    }
    return com::S_OK;
}

HRESULT ArchiveDatabase::migrate(int fromVersion) {
    HRESULT hr = exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    if (com::succeeded(hr)) {
        hr = exec(QStringLiteral("PRAGMA synchronous = FULL"));
    }
    for (const schema::Migration& step : schema::migrations()) {
        if (com::failed(hr) || step.toVersion <= fromVersion) {
            continue;
        }
        hr = exec(QStringLiteral("BEGIN IMMEDIATE"));
        for (const QString& sql : step.statements) {
            if (com::succeeded(hr)) {
                hr = exec(sql);
            }
        }
        if (com::succeeded(hr)) {
            hr = exec(QStringLiteral("PRAGMA application_id = %1").arg(schema::kApplicationId));
        }
        if (com::succeeded(hr)) {
            hr = exec(QStringLiteral("PRAGMA user_version = %1").arg(step.toVersion));
        }
        if (com::succeeded(hr)) {
            hr = exec(QStringLiteral("COMMIT"));
        }
        if (com::failed(hr)) {
            QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
        }
    }
    return hr;
}

HRESULT ArchiveDatabase::prepareStatements() {
    const QSqlDatabase db = connection();
    // Seq 0 nearly always; a tick stamped with a time already taken (the clock set back) gets
    // the next free seq of that time, so it is kept rather than lost.
    const QString first = QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (?, 0 * ?, %2)");
    const QString next = QStringLiteral(
        "INSERT INTO %1 VALUES (?, (SELECT count(*) FROM %1 WHERE time_ms = ?), %2)");
    const QString readings = QStringLiteral("readings");
    const QString failures = QStringLiteral("failures");
    const QString readingValues = QStringLiteral("?, ?, ?, ?");
    const QString failureValues = QStringLiteral("?");
    const std::array<std::pair<QSqlQuery*, QString>, 5> statements{{
        {&m_insertReading, first.arg(readings, readingValues)},
        {&m_insertFailure, first.arg(failures, failureValues)},
        {&m_insertReadingNext, next.arg(readings, readingValues)},
        {&m_insertFailureNext, next.arg(failures, failureValues)},
        {&m_upsertQuarter, QStringLiteral("INSERT INTO quarter_hours VALUES "
                                          "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                                          "ON CONFLICT (quarter) DO UPDATE SET "
                                          "count = count + excluded.count, %1, %2")
                               .arg(quarterUpdate(QStringLiteral("humidity")),
                                    quarterUpdate(QStringLiteral("pressure")))},
    }};
    for (const auto& [query, sql] : statements) {
        *query = QSqlQuery(db);
        if (!query->prepare(sql)) {
            return failure(*query);
        }
    }
    return com::S_OK;
}

HRESULT ArchiveDatabase::append(std::span<const Entry> batch) {
    if (!m_open) {
        return fail(E_ARCHIVE_CANTOPEN, QStringLiteral("not open"));
    }
    if (batch.empty()) {
        return com::S_OK;
    }
    HRESULT hr = exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (com::succeeded(hr)) {
        hr = appendRows(batch);
    }
    if (com::succeeded(hr)) {
        hr = upsertQuarters(batch);
    }
    if (com::succeeded(hr)) {
        hr = exec(QStringLiteral("COMMIT"));
    }
    if (com::failed(hr)) {
        // SQLite may have rolled back already (a full disk does); then this one just fails.
        QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
    }
    return hr;
}

HRESULT ArchiveDatabase::appendRows(std::span<const Entry> batch) {
    for (const Entry& e : batch) {
        bool inserted = false;
        HRESULT hr = insert(e.isReading() ? m_insertReading : m_insertFailure, e, inserted);
        if (com::succeeded(hr) && !inserted) {
            hr = insert(e.isReading() ? m_insertReadingNext : m_insertFailureNext, e, inserted);
        }
        if (com::failed(hr)) {
            return hr;
        }
    }
    return com::S_OK;
}

HRESULT ArchiveDatabase::insert(QSqlQuery& query, const Entry& e, bool& inserted) {
    query.bindValue(0, e.timeMs);
    query.bindValue(1, e.timeMs);
    if (e.isReading()) {
        query.bindValue(2, e.humidityPct);
        query.bindValue(3, e.pressureKpa);
        query.bindValue(4, e.rawHumidity);
        query.bindValue(5, e.rawPressure);
    } else {
        query.bindValue(2, failureKindName(e.kind));
    }
    if (!query.exec()) {
        return failure(query);
    }
    inserted = query.numRowsAffected() > 0;
    return com::S_OK;
}

HRESULT ArchiveDatabase::upsertQuarters(std::span<const Entry> batch) {
    std::map<qint64, ReadingStats> quarters;
    for (const Entry& e : batch) {
        if (e.isReading()) {
            quarters[schema::quarterOf(e.timeMs)].add(e.timeMs, e.humidityPct, e.pressureKpa);
        }
    }
    for (const auto& [quarter, stats] : quarters) {
        m_upsertQuarter.bindValue(0, quarter);
        m_upsertQuarter.bindValue(1, stats.count);
        bindQuantity(m_upsertQuarter, 2, stats.humidity);
        bindQuantity(m_upsertQuarter, 7, stats.pressure);
        if (!m_upsertQuarter.exec()) {
            return failure(m_upsertQuarter);
        }
    }
    return com::S_OK;
}

HRESULT ArchiveDatabase::exec(const QString& sql) {
    QSqlQuery query(connection());
    return query.exec(sql) ? com::S_OK : failure(query);
}

HRESULT ArchiveDatabase::failure(const QSqlQuery& query) {
    const QSqlError error = query.lastError();
    return fail(fromSqlError(error), error.text());
}

HRESULT ArchiveDatabase::fail(HRESULT hr, const QString& text) {
    m_lastError = text;
    return hr;
}

} // namespace archive

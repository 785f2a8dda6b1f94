#include "PostgresArchive.h"

#include "PostgresSchema.h"
#include "ReadingStats.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QLocale>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <map>

namespace archive {

namespace {

// Any fixed number: the key of the lock that lets one session at a time lay out the schema.
constexpr qint64 kSchemaLockKey = 0x4252495341524348; // "BRISARCH"

QString nextConnectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("brisora-archive-pg-%1").arg(counter.fetchAndAddRelaxed(1));
}

// Array literals for the batch's columns, handed over as text and cast on the server.
template <typename T, typename Format>
QString arrayOf(const std::vector<T>& values, Format format) {
    QString text(QLatin1Char('{'));
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char(',');
        }
        text += format(values[i]);
    }
    return text + QLatin1Char('}');
}

QString integerText(qint64 v) {
    return QString::number(v);
}

QString doubleText(double v) {
    if (std::isnan(v)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(v)) {
        return v > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    }
    return QLocale::c().toString(v, 'g', QLocale::FloatingPointShortest);
}

QString quotedText(const QString& v) {
    QString escaped = v;
    escaped.replace(QLatin1Char('\\'), QLatin1StringView("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1StringView("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// The columns of one batch as arrays, in the order the insert statement takes them.
struct BatchColumns {
    std::vector<qint64> readingTimes, rawHumidity, rawPressure, failureTimes;
    std::vector<double> humidity, pressure;
    std::vector<QString> kinds;
    std::vector<qint64> quarters, counts;
    std::vector<double> humiditySum, humidityMin, humidityMax;
    std::vector<qint64> humidityMinMs, humidityMaxMs;
    std::vector<double> pressureSum, pressureMin, pressureMax;
    std::vector<qint64> pressureMinMs, pressureMaxMs;

    explicit BatchColumns(std::span<const Entry> batch) {
        std::map<qint64, ReadingStats> byQuarter;
        for (const Entry& e : batch) {
            if (e.isReading()) {
                readingTimes.push_back(e.timeMs);
                humidity.push_back(e.humidityPct);
                pressure.push_back(e.pressureKpa);
                rawHumidity.push_back(e.rawHumidity);
                rawPressure.push_back(e.rawPressure);
                byQuarter[schema::quarterOf(e.timeMs)].add(e.timeMs, e.humidityPct, e.pressureKpa);
            } else {
                failureTimes.push_back(e.timeMs);
                kinds.push_back(failureKindName(e.kind));
            }
        }
        for (const auto& [quarter, s] : byQuarter) {
            quarters.push_back(quarter);
            counts.push_back(s.count);
            humiditySum.push_back(s.humidity.sum);
            humidityMin.push_back(s.humidity.min);
            humidityMinMs.push_back(s.humidity.minMs);
            humidityMax.push_back(s.humidity.max);
            humidityMaxMs.push_back(s.humidity.maxMs);
            pressureSum.push_back(s.pressure.sum);
            pressureMin.push_back(s.pressure.min);
            pressureMinMs.push_back(s.pressure.minMs);
            pressureMax.push_back(s.pressure.max);
            pressureMaxMs.push_back(s.pressure.maxMs);
        }
    }

    QStringList bound() const {
        const auto ints = [](const std::vector<qint64>& v) { return arrayOf(v, integerText); };
        const auto reals = [](const std::vector<double>& v) { return arrayOf(v, doubleText); };
        return {ints(readingTimes),         reals(humidity),     reals(pressure),
                ints(rawHumidity),          ints(rawPressure),   ints(failureTimes),
                arrayOf(kinds, quotedText), ints(quarters),      ints(counts),
                reals(humiditySum),         reals(humidityMin),  ints(humidityMinMs),
                reals(humidityMax),         ints(humidityMaxMs), reals(pressureSum),
                reals(pressureMin),         ints(pressureMinMs), reals(pressureMax),
                ints(pressureMaxMs)};
    }
};

// SET clause that adds a batch's summary of one quantity to the stored one, keeping the first
// time of each extreme.
QString quarterUpdate(const QString& q) {
    return QStringLiteral(
               "%1_sum = h.%1_sum + excluded.%1_sum, "
               "%1_min_ms = CASE WHEN excluded.%1_min < h.%1_min OR (excluded.%1_min = h.%1_min "
               "AND excluded.%1_min_ms < h.%1_min_ms) THEN excluded.%1_min_ms "
               "ELSE h.%1_min_ms END, "
               "%1_min = least(h.%1_min, excluded.%1_min), "
               "%1_max_ms = CASE WHEN excluded.%1_max > h.%1_max OR (excluded.%1_max = h.%1_max "
               "AND excluded.%1_max_ms < h.%1_max_ms) THEN excluded.%1_max_ms "
               "ELSE h.%1_max_ms END, "
               "%1_max = greatest(h.%1_max, excluded.%1_max)")
        .arg(q);
}

// The whole batch in one statement: readings and failed ticks unnested from arrays (a tick
// stamped with a time already taken gets the next free seq of that time), the quarter-hour
// summaries merged, and the batch's token left on the station. %1 is the station's id.
QString insertStatement() {
    const QString real = QStringLiteral("CAST(? AS double precision[])");
    const QString integer = QStringLiteral("CAST(? AS bigint[])");
    const QString nextSeq =
        QStringLiteral("coalesce((SELECT max(x.seq) + 1 FROM %1 x WHERE x.station_id = %2 AND "
                       "x.time_ms = b.t), 0) + row_number() OVER (PARTITION BY b.t ORDER BY "
                       "b.n) - 1");
    QStringList summaryColumns;
    for (int i = 0; i < 12; ++i) {
        summaryColumns << (i == 0 || i == 1 || i == 4 || i == 6 || i == 9 || i == 11 ? integer
                                                                                     : real);
    }
    return QStringLiteral(
               "WITH b AS (SELECT * FROM unnest(%2, %3, %3, %2, %2) WITH ORDINALITY "
               "AS b (t, h, p, rh, rp, n)), "
               "r AS (INSERT INTO readings SELECT %1, b.t, %4, b.h, b.p, b.rh, b.rp FROM b), "
               "c AS (SELECT * FROM unnest(%2, CAST(? AS text[])) WITH ORDINALITY "
               "AS b (t, k, n)), "
               "f AS (INSERT INTO failures SELECT %1, b.t, %5, b.k FROM c AS b), "
               "q AS (INSERT INTO quarter_hours AS h SELECT %1, * FROM unnest(%6) "
               "ON CONFLICT (station_id, quarter) DO UPDATE SET count = h.count + "
               "excluded.count, %7, %8) "
               "UPDATE stations SET last_batch = CAST(? AS uuid) WHERE id = %1")
        .arg(QStringLiteral("%1"), integer, real,
             nextSeq.arg(QStringLiteral("readings"), QStringLiteral("%1")),
             nextSeq.arg(QStringLiteral("failures"), QStringLiteral("%1")),
             summaryColumns.join(QStringLiteral(", ")), quarterUpdate(QStringLiteral("humidity")),
             quarterUpdate(QStringLiteral("pressure")));
}

} // namespace

PostgresArchive::PostgresArchive(ArchiveLocation location, Options options)
    : m_location(std::move(location))
    , m_options(options)
    , m_connectionName(nextConnectionName()) {}

PostgresArchive::~PostgresArchive() {
    close();
}

QSqlDatabase PostgresArchive::connection() const {
    return QSqlDatabase::database(m_connectionName, false);
}

QString PostgresArchive::stationCondition() const {
    return QStringLiteral("station_id = %1").arg(m_stationId);
}

HRESULT PostgresArchive::open(Mode mode) {
    close();
    if (!m_location.error.isEmpty()) {
        return fail(E_ARCHIVE_CANTOPEN, m_location.error);
    }
    HRESULT hr = connect();
    int version = 0;
    if (com::succeeded(hr)) {
        hr = checkLayout(mode, version);
    }
    if (com::succeeded(hr) && mode == Mode::Write && version < pgschema::kVersion) {
        hr = migrate();
    }
    if (com::succeeded(hr) && mode != Mode::List) {
        hr = findStation(mode);
    }
    if (com::succeeded(hr) && mode == Mode::Write) {
        hr = knownPartitions();
    }
    if (com::succeeded(hr) && mode == Mode::Write) {
        // This month's partition now rather than in the first batch: creating one locks the
        // whole table a moment, and many stations starting together would each wait for it
        // with a tick in hand.
        makePartition(QDateTime::currentMSecsSinceEpoch());
    }
    m_open = com::succeeded(hr);
    if (!m_open) {
        close();
    }
    return hr;
}

void PostgresArchive::close() {
    // The lost batch stays: the next connection asks whether it went in.
    m_open = false;
    m_partitions.clear();
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

HRESULT PostgresArchive::connect() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    if (!db.isValid()) {
        return fail(E_ARCHIVE_CANTOPEN, QStringLiteral("no PostgreSQL driver for Qt SQL"));
    }
    db.setHostName(m_location.host);
    if (m_location.port > 0) {
        db.setPort(m_location.port);
    }
    db.setUserName(m_location.user);
    db.setDatabaseName(m_location.database);
    QStringList options{QStringLiteral("connect_timeout=%1").arg(m_options.connectTimeoutS),
                        QStringLiteral("tcp_user_timeout=%1").arg(m_options.networkTimeoutMs),
                        QStringLiteral("keepalives_idle=10"),
                        QStringLiteral("keepalives_interval=5"),
                        QStringLiteral("keepalives_count=3"),
                        QStringLiteral("application_name=brisora")};
    if (!m_location.sslMode.isEmpty()) {
        options << QStringLiteral("sslmode=") + m_location.sslMode;
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open()) {
        return fail(E_ARCHIVE_UNREACHABLE, db.lastError().text().trimmed());
    }
    HRESULT hr = exec(QStringLiteral("SET lock_timeout = %1").arg(m_options.lockTimeoutMs));
    if (com::succeeded(hr)) {
        hr = exec(QStringLiteral("SET client_min_messages = warning"));
    }
    return hr;
}

HRESULT PostgresArchive::checkLayout(Mode mode, int& version) {
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("SELECT to_regclass('archive_schema') IS NOT NULL, "
                                   "to_regclass('readings') IS NOT NULL")) ||
        !query.next()) {
        return failure(query, STG_E_READFAULT);
    }
    if (!query.value(0).toBool()) {
        if (query.value(1).toBool()) {
            return fail(E_ARCHIVE_NOTARCHIVE, m_location.path); // another program's tables
        }
        version = 0;
        return mode != Mode::Write ? fail(E_ARCHIVE_EMPTY, m_location.path) : com::S_OK;
    }
    QSqlQuery layout(connection());
    if (!layout.exec(QStringLiteral("SELECT application, version FROM archive_schema"))) {
        return failure(layout, STG_E_READFAULT);
    }
    if (!layout.next() || layout.value(0).toString() != QLatin1StringView(pgschema::kApplication)) {
        return fail(E_ARCHIVE_NOTARCHIVE, m_location.path);
    }
    version = layout.value(1).toInt();
    if (version > pgschema::kVersion) {
        return fail(E_ARCHIVE_NEWERSCHEMA, QStringLiteral("version %1").arg(version));
    }
    if (mode != Mode::Write && version < pgschema::kVersion) {
        return fail(E_ARCHIVE_OLDERSCHEMA, QStringLiteral("version %1").arg(version));
    }
    return com::S_OK;
}

HRESULT PostgresArchive::migrate() {
    // Two writers starting on an empty database: the second waits, then finds it laid out.
    // The lock is taken before the transaction, so that the transaction sees what the first
    // one made.
    HRESULT hr = exec(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(kSchemaLockKey));
    if (com::failed(hr)) {
        return hr;
    }
    hr = exec(QStringLiteral("BEGIN"));
    int version = 0;
    if (com::succeeded(hr)) {
        // Another writer may have laid it out while this one waited for the lock.
        QSqlQuery query(connection());
        const bool read = query.exec(QStringLiteral("SELECT to_regclass('archive_schema') IS NOT "
                                                    "NULL")) &&
                          query.next();
        QSqlQuery layout(connection());
        if (!read) {
            hr = failure(query);
        } else if (query.value(0).toBool() &&
                   (!layout.exec(QStringLiteral("SELECT max(version) FROM archive_schema")) ||
                    !layout.next())) {
            hr = failure(layout);
        } else if (query.value(0).toBool()) {
            version = layout.value(0).toInt();
        }
    }
    for (const schema::Migration& step : pgschema::migrations()) {
        if (com::failed(hr) || step.toVersion <= version) {
            continue;
        }
        for (const QString& sql : step.statements) {
            if (com::succeeded(hr)) {
                hr = exec(sql);
            }
        }
        if (com::succeeded(hr)) {
            hr = exec(QStringLiteral("UPDATE archive_schema SET version = %1").arg(step.toVersion));
        }
    }
    if (com::succeeded(hr)) {
        hr = exec(QStringLiteral("COMMIT"));
    }
    if (com::failed(hr)) {
        const QString why = m_lastError;
        QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
        if (hr == STG_E_ACCESSDENIED) {
            hr = fail(E_ARCHIVE_NOSCHEMA, why);
        }
    }
    QSqlQuery(connection())
        .exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kSchemaLockKey));
    return hr;
}

HRESULT PostgresArchive::findStation(Mode mode) {
    const QString wanted = m_location.station.isEmpty() && mode == Mode::Write
                               ? ArchiveLocation::defaultStation()
                               : m_location.station;
    QSqlQuery query(connection());
    if (wanted.isEmpty()) {
        // Reading without a name: the archive's only station.
        if (!query.exec(QStringLiteral("SELECT id, name FROM stations ORDER BY name LIMIT 2"))) {
            return failure(query, STG_E_READFAULT);
        }
    } else {
        query.prepare(QStringLiteral("SELECT id, name FROM stations WHERE name = ?"));
        query.bindValue(0, wanted);
        if (!query.exec()) {
            return failure(query, STG_E_READFAULT);
        }
    }
    std::vector<std::pair<qint64, QString>> found;
    while (query.next()) {
        found.emplace_back(query.value(0).toLongLong(), query.value(1).toString());
    }
    if (found.empty() && mode == Mode::Write) {
        QSqlQuery add(connection());
        add.prepare(QStringLiteral("INSERT INTO stations (name) VALUES (?) ON CONFLICT (name) "
                                   "DO UPDATE SET name = excluded.name RETURNING id"));
        add.bindValue(0, wanted);
        if (!add.exec() || !add.next()) {
            return failure(add);
        }
        found.emplace_back(add.value(0).toLongLong(), wanted);
    }
    if (found.empty()) {
        return wanted.isEmpty() ? fail(E_ARCHIVE_EMPTY, m_location.path)
                                : fail(E_ARCHIVE_NOSTATION, wanted);
    }
    if (found.size() > 1) {
        return fail(E_ARCHIVE_STATIONNEEDED, QStringLiteral("--station or ?station="));
    }
    m_stationId = found.front().first;
    m_station = found.front().second;
    return com::S_OK;
}

HRESULT PostgresArchive::knownPartitions() {
    QSqlQuery query(connection());
    if (!query.exec(QStringLiteral("SELECT c.relname FROM pg_inherits i JOIN pg_class c ON "
                                   "c.oid = i.inhrelid WHERE i.inhparent = "
                                   "to_regclass('readings')"))) {
        return failure(query, STG_E_READFAULT);
    }
    while (query.next()) {
        m_partitions.insert(query.value(0).toString());
    }
    return com::S_OK;
}

void PostgresArchive::makePartitions(std::span<const Entry> batch) {
    for (const Entry& e : batch) {
        if (e.isReading()) {
            makePartition(e.timeMs);
        }
    }
}

void PostgresArchive::makePartition(qint64 timeMs) {
    const pgschema::MonthPartition month = pgschema::monthOf(timeMs);
    if (!month.valid || m_partitions.count(month.name) > 0) {
        return;
    }
    m_partitions.insert(month.name);
    // Failing is no trouble: another writer made it first, or this user may not create
    // tables (then the month's readings go to the default partition, until the owner makes
    // it).
    QSqlQuery(connection())
        .exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 PARTITION OF readings FOR "
                             "VALUES FROM (%2) TO (%3)")
                  .arg(month.name)
                  .arg(month.fromMs)
                  .arg(month.toMs));
}

HRESULT PostgresArchive::append(std::span<const Entry> batch) {
    if (!m_open) {
        return fail(E_ARCHIVE_CANTOPEN, QStringLiteral("not open"));
    }
    HRESULT hr = settleLostBatch(batch);
    if (com::failed(hr) || batch.empty()) {
        return hr;
    }
    makePartitions(batch);
    const QUuid token = QUuid::createUuid();
    m_lostToken = token;
    m_lostBatch.assign(batch.begin(), batch.end());
    hr = insert(batch, token);
    if (hr != E_ARCHIVE_UNREACHABLE) {
        // The server answered: the batch went in whole, or not at all.
        m_lostToken = QUuid();
        m_lostBatch.clear();
    }
    return hr;
}

HRESULT PostgresArchive::settleLostBatch(std::span<const Entry>& batch) {
    if (m_lostToken.isNull()) {
        return com::S_OK;
    }
    QSqlQuery query(connection());
    query.prepare(QStringLiteral("SELECT coalesce(last_batch = CAST(? AS uuid), false) FROM "
                                 "stations WHERE id = ?"));
    query.bindValue(0, m_lostToken.toString(QUuid::WithoutBraces));
    query.bindValue(1, m_stationId);
    if (!query.exec() || !query.next()) {
        return failure(query, STG_E_READFAULT);
    }
    const bool wentIn = query.value(0).toBool();
    const std::vector<Entry> lost = std::move(m_lostBatch);
    m_lostToken = QUuid();
    m_lostBatch.clear();
    if (!wentIn) {
        return com::S_OK;
    }
    // The writer queues a failed batch again in front of the newer entries (the oldest of
    // them maybe dropped for room): skip what repeats the end of the batch that went in.
    for (std::size_t skip = 0; skip < lost.size(); ++skip) {
        const std::size_t n = lost.size() - skip;
        if (n <= batch.size() && std::equal(lost.begin() + static_cast<std::ptrdiff_t>(skip),
                                            lost.end(), batch.begin())) {
            batch = batch.subspan(n);
            break;
        }
    }
    return com::S_OK;
}

HRESULT PostgresArchive::insert(std::span<const Entry> batch, const QUuid& token) {
    QSqlQuery query(connection());
    if (!query.prepare(insertStatement().arg(m_stationId))) {
        return failure(query);
    }
    int i = 0;
    for (const QString& column : BatchColumns(batch).bound()) {
        query.bindValue(i++, column);
    }
    query.bindValue(i, token.toString(QUuid::WithoutBraces));
    return query.exec() ? com::S_OK : failure(query);
}

HRESULT PostgresArchive::stations(std::vector<StationInfo>& out) const {
    out.clear();
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT s.name, (SELECT coalesce(sum(count), 0) FROM quarter_hours q WHERE "
            "q.station_id = s.id), (SELECT min(time_ms) FROM readings r WHERE r.station_id = "
            "s.id), (SELECT max(time_ms) FROM readings r WHERE r.station_id = s.id) "
            "FROM stations s ORDER BY s.name"))) {
        return fromPostgresError(query.lastError(), STG_E_READFAULT);
    }
    while (query.next()) {
        out.push_back({query.value(0).toString(), query.value(1).toLongLong(),
                       query.value(2).toLongLong(), query.value(3).toLongLong()});
    }
    return com::S_OK;
}

HRESULT PostgresArchive::exec(const QString& sql) {
    QSqlQuery query(connection());
    return query.exec(sql) ? com::S_OK : failure(query);
}

HRESULT PostgresArchive::failure(const QSqlQuery& query, HRESULT otherwise) {
    const QSqlError error = query.lastError();
    return fail(fromPostgresError(error, otherwise), error.text().trimmed());
}

HRESULT PostgresArchive::fail(HRESULT hr, const QString& text) {
    m_lastError = text;
    return hr;
}

} // namespace archive

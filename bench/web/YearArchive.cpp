#include "YearArchive.h"

#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>
#include <vector>

namespace benchweb {

namespace {

constexpr qint64 kPerQuarter = archive::schema::kQuarterMs / 1000;

// Reading i's values, written the same way in SQL (below) and C++ (for the summaries): integer
// arithmetic, then one division, so both give the same doubles.
double humidityOf(qint64 i) {
    return 50.0 + static_cast<double>((i * 7919) % 4001 - 2000) / 100.0;
}
double pressureOf(qint64 i) {
    return 101.0 + static_cast<double>((i * 104729) % 3001 - 1500) / 1000.0;
}

const char* const kRowsSql =
    "WITH RECURSIVE s(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM s WHERE i + 1 < :n) "
    "INSERT INTO readings (time_ms, seq, humidity_pct, pressure_kpa, raw_humidity, raw_pressure) "
    "SELECT :start + i * 1000, 0, 50.0 + ((i * 7919) % 4001 - 2000) / 100.0, "
    "101.0 + ((i * 104729) % 3001 - 1500) / 1000.0, i % 65536, (i * 7) % 65536 FROM s";

struct Extremes {
    double sum = 0;
    double min = 0;
    qint64 minMs = 0;
    double max = 0;
    qint64 maxMs = 0;

    void add(double v, qint64 ms, bool first) {
        sum += v;
        if (first || v < min) {
            min = v;
            minMs = ms;
        }
        if (first || v > max) {
            max = v;
            maxMs = ms;
        }
    }
};

bool exec(QSqlQuery& q, const QString& sql, QString& error) {
    if (q.exec(sql)) {
        return true;
    }
    error = q.lastError().text();
    return false;
}

bool writeQuarters(QSqlDatabase& db, QString& error) {
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral(
            "INSERT INTO quarter_hours (quarter, count, humidity_sum, humidity_min, "
            "humidity_min_ms, humidity_max, humidity_max_ms, pressure_sum, pressure_min, "
            "pressure_min_ms, pressure_max, pressure_max_ms) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
        error = q.lastError().text();
        return false;
    }
    for (qint64 first = 0; first < YearArchive::kSeconds; first += kPerQuarter) {
        Extremes h;
        Extremes p;
        for (qint64 i = first; i < first + kPerQuarter; ++i) {
            const qint64 ms = YearArchive::kStartMs + i * 1000;
            h.add(humidityOf(i), ms, i == first);
            p.add(pressureOf(i), ms, i == first);
        }
        const QVariantList values{archive::schema::quarterOf(YearArchive::kStartMs + first * 1000),
                                  kPerQuarter,
                                  h.sum,
                                  h.min,
                                  h.minMs,
                                  h.max,
                                  h.maxMs,
                                  p.sum,
                                  p.min,
                                  p.minMs,
                                  p.max,
                                  p.maxMs};
        for (int c = 0; c < values.size(); ++c) {
            q.bindValue(c, values[c]);
        }
        if (!q.exec()) {
            error = q.lastError().text();
            return false;
        }
    }
    return true;
}

// Fills a new archive: the rows in one statement, the summaries from the same pattern, all in
// one transaction without a journal (a file left half made is never renamed into place).
bool fill(const QString& path, QString& error) {
    {
        archive::ArchiveDatabase schema(path);
        if (com::failed(schema.open(archive::ArchiveDatabase::Mode::Write))) {
            error = schema.lastError();
            return false;
        }
    }
    const QString name = QStringLiteral("bench-year-archive");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            ok = exec(q, QStringLiteral("PRAGMA journal_mode = OFF"), error) &&
                 exec(q, QStringLiteral("PRAGMA synchronous = OFF"), error) &&
                 exec(q, QStringLiteral("PRAGMA cache_size = -262144"), error) &&
                 exec(q, QStringLiteral("BEGIN"), error);
            if (ok && !(q.prepare(QString::fromLatin1(kRowsSql)))) {
                error = q.lastError().text();
                ok = false;
            }
            if (ok) {
                q.bindValue(QStringLiteral(":n"), YearArchive::kSeconds);
                q.bindValue(QStringLiteral(":start"), YearArchive::kStartMs);
                ok = q.exec() || (error = q.lastError().text(), false);
            }
            ok = ok && writeQuarters(db, error) && exec(q, QStringLiteral("COMMIT"), error) &&
                 exec(q, QStringLiteral("PRAGMA journal_mode = WAL"), error);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

QString YearArchive::ensure(QString& error) {
    const QDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bench-data"));
    const QString path = dir.absoluteFilePath(QStringLiteral("web-year-1hz-v1.sqlite"));
    if (QFile::exists(path)) {
        return path;
    }
    if (!dir.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("cannot make %1").arg(dir.path());
        return {};
    }
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    std::fprintf(stderr, "Making a year of 1 Hz readings in %s (once)...\n", qPrintable(path));
    QElapsedTimer t;
    t.start();
    if (!fill(part, error) || !QFile::rename(part, path)) {
        error = QStringLiteral("cannot make the year's archive: %1").arg(error);
        QFile::remove(part);
        return {};
    }
    QFile::remove(part + QStringLiteral("-wal"));
    QFile::remove(part + QStringLiteral("-shm"));
    std::fprintf(stderr, "... made in %.1f s\n", static_cast<double>(t.elapsed()) / 1000.0);
    return path;
}

} // namespace benchweb

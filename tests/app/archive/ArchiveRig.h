#pragma once

#include "PostgresServer.h"
#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveReader.h"
#include "archive/StoreFactory.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

// Readings one second apart from startMs; humidity and pressure follow the raw values, which
// step through a saw-tooth so extremes fall at known times.
inline std::vector<archive::Entry> syntheticReadings(qint64 startMs, int count,
                                                     qint64 stepMs = 1000) {
    std::vector<archive::Entry> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto rawH = static_cast<quint16>(400 + (i * 7) % 300);
        const auto rawP = static_cast<quint16>(9000 + (i * 13) % 500);
        out.push_back(archive::Entry::reading(startMs + i * stepMs,
                                              rawH * 50.0 / 39936 * 100 - 20.5,
                                              rawP * 500 / 4710.4 + 10.6521, rawH, rawP));
    }
    return out;
}

inline qint64 rowCount(const archive::ArchiveStore& db, const QString& table) {
    QSqlQuery q(db.connection());
    q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    return q.next() ? q.value(0).toLongLong() : -1;
}

// A fresh folder per test with the archive's path in it.
struct ArchiveDir {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("brisora/archive.sqlite")); }
};

// The engines the store tests run on.
enum class Backend { Sqlite, Postgres };

inline const char* backendName(Backend b) {
    return b == Backend::Sqlite ? "sqlite" : "postgresql";
}

// The test program's PostgreSQL server, started on first use and stopped at exit; nullptr
// (with the reason in why) when it cannot run.
inline testsupport::PostgresServer* postgresServer(QString* why = nullptr) {
    static std::unique_ptr<testsupport::PostgresServer> server;
    static QString error;
    static bool tried = false;
    if (!tried) {
        tried = true;
        server = std::make_unique<testsupport::PostgresServer>();
        if (!server->start()) {
            error = server->error();
            server.reset();
        }
    }
    if (why) {
        *why = error;
    }
    return server.get();
}

// One empty archive on one engine: a file in a fresh folder, or a fresh database.
class TestArchive {
public:
    explicit TestArchive(Backend backend)
        : m_backend(backend) {
        if (backend == Backend::Postgres) {
            static int counter = 0;
            m_database = QStringLiteral("archive_test_%1").arg(++counter);
            m_server = postgresServer(&m_error);
            if (m_server && !m_server->createDatabase(m_database)) {
                m_error = m_server->error();
                m_server = nullptr;
            }
        }
    }
    // False (with error()) when the engine cannot be had here.
    bool ready() const { return m_backend == Backend::Sqlite || m_server != nullptr; }
    const QString& error() const { return m_error; }
    Backend backend() const { return m_backend; }
    testsupport::PostgresServer* server() const { return m_server; }
    const QString& database() const { return m_database; }

    archive::ArchiveLocation location(const QString& station = {}) const {
        auto where = archive::ArchiveLocation::parse(
            m_backend == Backend::Sqlite ? m_dir.path() : m_server->url(m_database, station));
        if (m_backend == Backend::Sqlite) {
            where.station = station;
        }
        return where;
    }
    std::unique_ptr<archive::ArchiveStore> store(const QString& station = {}) const {
        return archive::makeStore(location(station));
    }
    // Runs one statement on the archive as its owner (the superuser on PostgreSQL).
    bool exec(const QString& sql) const {
        if (m_backend == Backend::Postgres) {
            return m_server->exec(sql, m_database);
        }
        archive::ArchiveDatabase db(m_dir.path());
        return com::succeeded(db.open(archive::ArchiveStore::Mode::Write)) &&
               QSqlQuery(db.connection()).exec(sql);
    }

private:
    Backend m_backend;
    ArchiveDir m_dir;
    QString m_database;
    testsupport::PostgresServer* m_server = nullptr;
    QString m_error;
};

// The engine a suite run over both engines is on now.
inline Backend& currentBackend() {
    static Backend backend = Backend::Sqlite;
    return backend;
}

// A main that runs the whole suite once per engine: every behaviour of the archive holds on
// both.
#define BRISORA_ARCHIVE_TEST_MAIN(TestClass)                                                       \
    int main(int argc, char** argv) {                                                              \
        QCoreApplication app(argc, argv);                                                          \
        int failed = 0;                                                                            \
        for (const Backend b : {Backend::Sqlite, Backend::Postgres}) {                             \
            currentBackend() = b;                                                                  \
            qInfo("-- on %s", backendName(b));                                                     \
            TestClass test;                                                                        \
            failed += QTest::qExec(&test, argc, argv);                                             \
        }                                                                                          \
        return failed;                                                                             \
    }

// Skips the test where its engine is not installed; fails it (with why) where the engine is
// installed but cannot be had.
#define REQUIRE_ARCHIVE(archiveObject)                                                             \
    REQUIRE_POSTGRES((archiveObject).ready(),                                                      \
                     QStringLiteral("no PostgreSQL server: ") + (archiveObject).error())

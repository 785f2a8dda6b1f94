#pragma once

#include "ArchiveLocation.h"
#include "ArchiveStore.h"

#include <QUuid>

#include <set>

namespace archive {

// One connection to an archive in a PostgreSQL database, which holds many stations; this
// connection reads and writes one of them. Opening for writing creates the layout when the
// database has none (the database owner's right), brings an older one up, and enters the
// station. Each batch goes in one statement (arrays unnested on the server), so a batch costs
// one round trip however long it is. A batch whose answer was lost (the network cut as it
// committed) is looked up before the next one: what went in is not written twice.
//
// A connection belongs to the thread that opened it.
class PostgresArchive final : public ArchiveStore {
public:
    struct Options {
        int lockTimeoutMs = 2000;     // how long a statement waits for another session's lock
        int connectTimeoutS = 5;      // how long a connection may take
        int networkTimeoutMs = 15000; // how long unacknowledged data may wait (a cut network)
    };

    explicit PostgresArchive(ArchiveLocation location, Options options);
    explicit PostgresArchive(ArchiveLocation location)
        : PostgresArchive(std::move(location), Options{}) {}
    PostgresArchive(const PostgresArchive&) = delete;
    PostgresArchive& operator=(const PostgresArchive&) = delete;
    ~PostgresArchive() override;

    HRESULT open(Mode mode) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    HRESULT append(std::span<const Entry> batch) override;

    QString path() const override { return m_location.path; }
    const QString& lastError() const override { return m_lastError; }
    QSqlDatabase connection() const override;
    HRESULT codeOf(const QSqlError& error, HRESULT otherwise) const override {
        return fromPostgresError(error, otherwise);
    }

    QString stationCondition() const override;
    QString station() const override { return m_station; }
    HRESULT stations(std::vector<StationInfo>& out) const override;
    // PostgreSQL keeps its own checksums; nothing more to check here.
    HRESULT integrityProblems(QStringList&) const override { return com::S_OK; }

private:
    HRESULT connect();
    HRESULT checkLayout(Mode mode, int& version);
    HRESULT migrate();
    HRESULT findStation(Mode mode);
    HRESULT knownPartitions();
    void makePartitions(std::span<const Entry> batch);
    // The partition of the month holding timeMs, unless this connection has seen it.
    void makePartition(qint64 timeMs);
    HRESULT settleLostBatch(std::span<const Entry>& batch);
    HRESULT insert(std::span<const Entry> batch, const QUuid& token);
    HRESULT exec(const QString& sql);
    HRESULT failure(const QSqlQuery& query, HRESULT otherwise = STG_E_WRITEFAULT);
    HRESULT fail(HRESULT hr, const QString& text);

    ArchiveLocation m_location;
    Options m_options;
    QString m_connectionName;
    bool m_open = false;
    QString m_lastError;
    QString m_station;
    qint64 m_stationId = 0;
    std::set<QString> m_partitions; // the months that have a partition, or that were tried
    // The batch whose outcome is unknown: written under this token, maybe committed.
    QUuid m_lostToken;
    std::vector<Entry> m_lostBatch;
};

} // namespace archive

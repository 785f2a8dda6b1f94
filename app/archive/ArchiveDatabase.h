#pragma once

#include "ArchiveStore.h"

#include <QSqlQuery>

namespace archive {

// One connection to an archive file (SQLite), which holds one station. Opening checks that the file
// is an archive of this program before anything is written: a file of another kind, or of a newer
// layout, is left untouched. A new or older file is brought to the current layout. Journal in WAL
// mode, so a file left by a crash opens with everything committed before it.
//
// A connection belongs to the thread that opened it.
// Write mode creates the file (and its folder) when missing; Read mode wants a current archive.
class ArchiveDatabase final : public ArchiveStore {
public:
    struct Options {
        int busyTimeoutMs = 2000; // how long to wait for another program's lock
        qint64 maxPageCount = 0;  // a size limit in pages (0: none)
    };

    explicit ArchiveDatabase(QString path, Options options);
    explicit ArchiveDatabase(QString path)
        : ArchiveDatabase(std::move(path), Options{}) {}
    ArchiveDatabase(const ArchiveDatabase&) = delete;
    ArchiveDatabase& operator=(const ArchiveDatabase&) = delete;
    ~ArchiveDatabase() override;

    HRESULT open(Mode mode) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    HRESULT append(std::span<const Entry> batch) override;

    QString path() const override { return m_path; }
    const QString& lastError() const override { return m_lastError; }
    QSqlDatabase connection() const override;
    HRESULT codeOf(const QSqlError& error, HRESULT otherwise) const override {
        return fromSqlError(error, otherwise);
    }

    QString stationCondition() const override { return QStringLiteral("1 = 1"); }
    // The file keeps no station name: the one the location gives, or this machine's.
    QString station() const override { return m_station; }
    void setStation(const QString& name);
    HRESULT stations(std::vector<StationInfo>& out) const override;
    // SQLite's integrity check.
    HRESULT integrityProblems(QStringList& problems) const override;

private:
    HRESULT checkHeader(Mode mode);
    HRESULT connect(Mode mode);
    HRESULT checkIdentity(Mode mode, int& version);
    HRESULT migrate(int fromVersion);
    HRESULT prepareStatements();
    HRESULT appendRows(std::span<const Entry> batch);
    HRESULT insert(QSqlQuery& query, const Entry& e, bool& inserted);
    HRESULT upsertQuarters(std::span<const Entry> batch);
    HRESULT exec(const QString& sql);
    HRESULT failure(const QSqlQuery& query);
    HRESULT fail(HRESULT hr, const QString& text);

    QString m_path;
    QString m_station;
    Options m_options;
    QString m_connectionName;
    bool m_open = false;
    QString m_lastError;
    QSqlQuery m_insertReading; // seq 0, skipped when that key is taken
    QSqlQuery m_insertFailure;
    QSqlQuery m_insertReadingNext; // the next free seq of its time
    QSqlQuery m_insertFailureNext;
    QSqlQuery m_upsertQuarter;
};

} // namespace archive

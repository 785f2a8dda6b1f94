#pragma once

#include "ArchiveEntry.h"
#include "ArchiveError.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <span>

namespace archive {

// One connection to an archive file. Opening checks that the file is an archive of this
// program before anything is written: a file of another kind, or of a newer layout, is left
// untouched. A new or older file is brought to the current layout. Journal in WAL mode, so
// a file left by a crash opens with everything committed before it.
//
// A connection belongs to the thread that opened it.
class ArchiveDatabase {
public:
    enum class Mode {
        Write, // creates the file (and its folder) when missing; brings old layouts up
        Read,  // the file must exist and be a current archive
    };
    struct Options {
        int busyTimeoutMs = 2000; // how long to wait for another program's lock
        qint64 maxPageCount = 0;  // a size limit in pages (0: none)
    };

    explicit ArchiveDatabase(QString path, Options options);
    explicit ArchiveDatabase(QString path)
        : ArchiveDatabase(std::move(path), Options{}) {}
    ArchiveDatabase(const ArchiveDatabase&) = delete;
    ArchiveDatabase& operator=(const ArchiveDatabase&) = delete;
    ~ArchiveDatabase();

    HRESULT open(Mode mode);
    void close();
    bool isOpen() const { return m_open; }

    // Writes the batch in one transaction: all of it or, on failure, none of it.
    HRESULT append(std::span<const Entry> batch);

    const QString& path() const { return m_path; }
    // The underlying SQLite error of the last failure, for messages.
    const QString& lastError() const { return m_lastError; }
    QSqlDatabase connection() const;

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

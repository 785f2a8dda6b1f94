#pragma once

#include "com/HResult.h"

#include <QSqlError>
#include <QString>

namespace archive {

using com::HRESULT;

// The file at the archive's place is not an archive (another program's file): never written.
constexpr HRESULT E_ARCHIVE_NOTARCHIVE = com::makeHResult(0x80040A01u);
// The archive was made by a newer program: its layout is unknown, so it is not written.
constexpr HRESULT E_ARCHIVE_NEWERSCHEMA = com::makeHResult(0x80040A02u);
// The file or its folder cannot be opened or created.
constexpr HRESULT E_ARCHIVE_CANTOPEN = com::makeHResult(0x80040A03u);
// No archive file exists where one is read.
constexpr HRESULT E_ARCHIVE_MISSING = com::makeHResult(0x80040A04u);
// The integrity check found damage.
constexpr HRESULT E_ARCHIVE_DAMAGED = com::makeHResult(0x80040A05u);
// The file holds no archive yet (empty, or an SQLite file without tables); nothing to read.
constexpr HRESULT E_ARCHIVE_EMPTY = com::makeHResult(0x80040A06u);
// The archive has an older layout, which only the console brings up to date.
constexpr HRESULT E_ARCHIVE_OLDERSCHEMA = com::makeHResult(0x80040A07u);
// The database server cannot be reached (down, restarting, the network cut).
constexpr HRESULT E_ARCHIVE_UNREACHABLE = com::makeHResult(0x80040A08u);
// The database holds no archive and this user may not create one (only its owner can).
constexpr HRESULT E_ARCHIVE_NOSCHEMA = com::makeHResult(0x80040A09u);
// The station asked for is not in the archive.
constexpr HRESULT E_ARCHIVE_NOSTATION = com::makeHResult(0x80040A0Au);
// The archive holds several stations and none was named.
constexpr HRESULT E_ARCHIVE_STATIONNEEDED = com::makeHResult(0x80040A0Bu);
// Storage codes for failed writes.
constexpr HRESULT STG_E_ACCESSDENIED = com::makeHResult(0x80030005u);
constexpr HRESULT STG_E_LOCKVIOLATION = com::makeHResult(0x80030021u);
constexpr HRESULT STG_E_MEDIUMFULL = com::makeHResult(0x80030070u);
using com::STG_E_READFAULT;
using com::STG_E_WRITEFAULT;

// True for the conditions that no retry can mend (a foreign or newer file).
bool isPermanent(HRESULT hr);

// A short Spanish description of the condition, for the console's status bar.
QString describe(HRESULT hr);

// The code for an SQLite result code (primary or extended); `otherwise` for the codes that say
// nothing more than that the statement failed (a write or a read fault).
HRESULT fromSqliteCode(int code, HRESULT otherwise = STG_E_WRITEFAULT);

// The code for a failed statement's error: fromSqliteCode of its SQLite code, `otherwise` when
// the error carries none.
HRESULT fromSqlError(const QSqlError& error, HRESULT otherwise = STG_E_WRITEFAULT);

// The same for PostgreSQL, from the error's SQLSTATE: a lost or refused connection, missing
// rights, a lock or a timeout, a full disk; `otherwise` for the rest.
HRESULT fromPostgresError(const QSqlError& error, HRESULT otherwise = STG_E_WRITEFAULT);

} // namespace archive

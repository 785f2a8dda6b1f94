#include "ArchiveError.h"

namespace archive {

namespace {

// SQLite's primary result codes that tell a write apart.
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADb = 26;

} // namespace

bool isPermanent(HRESULT hr) {
    return hr == E_ARCHIVE_NOTARCHIVE || hr == E_ARCHIVE_NEWERSCHEMA;
}

QString describe(HRESULT hr) {
    switch (hr) {
    case E_ARCHIVE_NOTARCHIVE:
        return QStringLiteral("el fichero no es un archivo de lecturas");
    case E_ARCHIVE_NEWERSCHEMA:
        return QStringLiteral("el archivo es de una versión más nueva del programa");
    case E_ARCHIVE_CANTOPEN:
        return QStringLiteral("no se puede abrir ni crear el fichero");
    case E_ARCHIVE_MISSING:
        return QStringLiteral("no existe el fichero");
    case E_ARCHIVE_DAMAGED:
        return QStringLiteral("el archivo está dañado");
    case E_ARCHIVE_EMPTY:
        return QStringLiteral("el archivo está vacío: aún no guarda lecturas");
    case E_ARCHIVE_OLDERSCHEMA:
        return QStringLiteral("el archivo es de una versión anterior del programa; la consola "
                              "lo pone al día al archivar");
    case E_ARCHIVE_UNREACHABLE:
        return QStringLiteral("no se puede conectar con el servidor de la base de datos");
    case E_ARCHIVE_NOSCHEMA:
        return QStringLiteral("la base de datos no tiene el archivo de lecturas y este usuario no "
                              "puede crearlo: lo crea el propietario de la base de datos");
    case E_ARCHIVE_NOSTATION:
        return QStringLiteral("la estación no está en el archivo");
    case E_ARCHIVE_STATIONNEEDED:
        return QStringLiteral("el archivo guarda varias estaciones: hay que elegir una");
    case STG_E_ACCESSDENIED:
        return QStringLiteral("no hay permiso para escribir");
    case STG_E_LOCKVIOLATION:
        return QStringLiteral("otro programa tiene el archivo bloqueado");
    case STG_E_MEDIUMFULL:
        return QStringLiteral("el disco está lleno");
    case STG_E_READFAULT:
        return QStringLiteral("error de lectura");
    default:
        return QStringLiteral("error de escritura");
    }
}

HRESULT fromSqliteCode(int code, HRESULT otherwise) {
    switch (code & 0xFF) {
    case kSqliteBusy:
    case kSqliteLocked:
        return STG_E_LOCKVIOLATION;
    case kSqliteReadOnly:
        return STG_E_ACCESSDENIED;
    case kSqliteFull:
        return STG_E_MEDIUMFULL;
    case kSqliteCantOpen:
        return E_ARCHIVE_CANTOPEN;
    case kSqliteCorrupt:
        return E_ARCHIVE_DAMAGED;
    case kSqliteNotADb:
        return E_ARCHIVE_NOTARCHIVE;
    default:
        return otherwise;
    }
}

HRESULT fromSqlError(const QSqlError& error, HRESULT otherwise) {
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    return known ? fromSqliteCode(code, otherwise) : otherwise;
}

HRESULT fromPostgresError(const QSqlError& error, HRESULT otherwise) {
    const QString state = error.nativeErrorCode();
    if (error.type() == QSqlError::ConnectionError || state.isEmpty() ||
        state.startsWith(QLatin1StringView("08")) || state.startsWith(QLatin1StringView("57P"))) {
        // No SQLSTATE: the connection itself failed (libpq gives none for a lost socket).
        return E_ARCHIVE_UNREACHABLE;
    }
    if (state == u"42501" || state.startsWith(QLatin1StringView("28"))) {
        return STG_E_ACCESSDENIED; // insufficient privilege, authentication refused
    }
    if (state == u"55P03" || state == u"40P01" || state == u"40001" || state == u"57014") {
        return STG_E_LOCKVIOLATION; // lock or statement timeout, deadlock, serialization
    }
    if (state == u"53100") {
        return STG_E_MEDIUMFULL;
    }
    if (state == u"3D000") {
        return E_ARCHIVE_MISSING; // no such database
    }
    return otherwise;
}

} // namespace archive
